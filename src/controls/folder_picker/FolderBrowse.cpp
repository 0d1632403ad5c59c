#include "controls/folder_picker/FolderBrowse.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QListView>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardPaths>

namespace modBrowse {
namespace {

std::function<QString(const BrowseInfo&)>& dialogHook() {
    static std::function<QString(const BrowseInfo&)> hook;
    return hook;
}

// Folder mode lists folders only. With files included it lists everything and takes either a
// file or a folder: double-clicking a folder still opens it, the accept button picks it.
class BrowseDialog : public QFileDialog {
public:
    BrowseDialog(QWidget* owner, const QString& title, const QString& folder, bool includeFiles)
        : QFileDialog(owner, title, folder), includeFiles_(includeFiles) {
        // The widget dialog on every platform: it follows the skin, and accept() below is only
        // consulted by it.
        setOption(QFileDialog::DontUseNativeDialog);
        if (includeFiles) {
            setFileMode(QFileDialog::ExistingFile);
        } else {
            setFileMode(QFileDialog::Directory);
            setOption(QFileDialog::ShowDirsOnly);
        }
        // An owner's compact dialog font would pass on to the picker: it keeps the desktop's
        // size. Its own style sheet wins over the owner's, whatever the selectors.
        setStyleSheet(
            QStringLiteral("* { font-size: %1pt; }").arg(QApplication::font().pointSizeF()));
    }

    void accept() override {
        if (includeFiles_) {
            const QStringList picked = selectedFiles();
            if (picked.size() == 1 && QFileInfo::exists(picked.first())) {
                QDialog::accept();
                return;
            }
        }
        QFileDialog::accept();
    }

protected:
    void showEvent(QShowEvent* event) override {
        QFileDialog::showEvent(event);
        widenSidebar();
    }

private:
    // The places list on the left is as wide as its longest entry, so no name is cut.
    void widenSidebar() {
        auto* sidebar = findChild<QListView*>(QStringLiteral("sidebar"));
        auto* splitter = findChild<QSplitter*>(QStringLiteral("splitter"));
        if (!sidebar || !splitter || splitter->count() < 2)
            return;
        const int wanted = sidebar->sizeHintForColumn(0) + 2 * sidebar->frameWidth() +
                           sidebar->verticalScrollBar()->sizeHint().width() + 8;
        QList<int> sizes = splitter->sizes();
        if (sizes[0] >= wanted)
            return;
        const int total = sizes[0] + sizes[1];
        sizes[0] = qMin(wanted, total / 2);
        sizes[1] = total - sizes[0];
        splitter->setSizes(sizes);
    }

    bool includeFiles_;
};

QString startFolder(const BrowseInfo& info) {
    if (!info.root.isEmpty())
        return info.root;
    if (!info.initialFolder.isEmpty() && QFileInfo(info.initialFolder).isDir())
        return info.initialFolder;
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return QFileInfo(desktop).isDir() ? desktop : QDir::homePath();
}

} // namespace

std::unique_ptr<QFileDialog> createBrowseDialog(const BrowseInfo& info) {
    return std::make_unique<BrowseDialog>(info.owner, info.title, startFolder(info),
                                          info.flags & FolderBrowse::BIF_BROWSEINCLUDEFILES);
}

QString BrowseForFolder(const BrowseInfo& info) {
    if (dialogHook())
        return dialogHook()(info);
    const std::unique_ptr<QFileDialog> dialog = createBrowseDialog(info);
    if (dialog->exec() != QDialog::Accepted)
        return {};
    const QStringList picked = dialog->selectedFiles();
    if (picked.isEmpty())
        return {};
    return QDir::toNativeSeparators(picked.first());
}

void setBrowseDialogHook(std::function<QString(const BrowseInfo&)> hook) {
    dialogHook() = std::move(hook);
}

} // namespace modBrowse

namespace {

const QString DefaultCaption = QStringLiteral("Folder Browser");

template <typename T> T fromBag(const QVariantMap& bag, const char* name, const T& fallback) {
    const auto found = bag.constFind(QString::fromLatin1(name));
    return found == bag.constEnd() ? fallback : found->template value<T>();
}

template <typename T>
void toBag(QVariantMap& bag, const char* name, const T& value, const T& fallback) {
    if (value != fallback)
        bag.insert(QString::fromLatin1(name), QVariant::fromValue(value));
}

} // namespace

FolderBrowse::FolderBrowse(QObject* parent) : QObject(parent) {
    UserControl_InitProperties();
}

bool FolderBrowse::Browse() {
    modBrowse::BrowseInfo info;
    info.owner = qobject_cast<QWidget*>(parent());
    info.root = StartDirectory_;
    info.title = Caption_;
    info.flags = flags();
    info.initialFolder = initialFolder_;
    QString picked = modBrowse::BrowseForFolder(info);
    // Computers and printers have no place in the file system, whatever the dialog returned.
    if (BrowseForComputer_ || BrowseForPrinter_)
        picked.clear();
    FullName_ = picked;
    return !FullName_.isEmpty();
}

quint32 FolderBrowse::flags() const {
    quint32 word = 0;
    if (OnlyFileSystemDirectories_)
        word |= BIF_RETURNONLYFSDIRS;
    if (DontGoBelowDomain_)
        word |= BIF_DONTGOBELOWDOMAIN;
    if (AllowEditBox_)
        word |= BIF_EDITBOX;
    if (ValidateSelection_)
        word |= BIF_VALIDATE;
    if (UseNewUI_)
        word |= BIF_NEWDIALOGSTYLE;
    if (BrowseForComputer_)
        word |= BIF_BROWSEFORCOMPUTER;
    if (BrowseForPrinter_)
        word |= BIF_BROWSEFORPRINTER;
    if (IncludeFiles_)
        word |= BIF_BROWSEINCLUDEFILES;
    return word;
}

void FolderBrowse::setEnabled(bool value) {
    Enabled_ = value;
    emit propertyChanged(QStringLiteral("Enabled"));
}

void FolderBrowse::setStartDirectory(const QString& value) {
    StartDirectory_ = value;
    emit propertyChanged(QStringLiteral("StartDirectory"));
}

void FolderBrowse::setCaption(const QString& value) {
    Caption_ = value;
    emit propertyChanged(QStringLiteral("Caption"));
}

void FolderBrowse::setOnlyFileSystemDirectories(bool value) {
    OnlyFileSystemDirectories_ = value;
    emit propertyChanged(QStringLiteral("OnlyFileSystemDirectories"));
}

void FolderBrowse::setDontGoBelowDomain(bool value) {
    DontGoBelowDomain_ = value;
    emit propertyChanged(QStringLiteral("DontGoBelowDomain"));
}

void FolderBrowse::setAllowEditBox(bool value) {
    AllowEditBox_ = value;
    emit propertyChanged(QStringLiteral("AllowEditBox"));
}

void FolderBrowse::setValidateSelection(bool value) {
    ValidateSelection_ = value;
    emit propertyChanged(QStringLiteral("ValidateSelection"));
}

void FolderBrowse::setUseNewUI(bool value) {
    UseNewUI_ = value;
    emit propertyChanged(QStringLiteral("UseNewUI"));
}

void FolderBrowse::setBrowseForComputer(bool value) {
    BrowseForComputer_ = value;
    emit propertyChanged(QStringLiteral("BrowseForComputer"));
}

void FolderBrowse::setBrowseForPrinter(bool value) {
    BrowseForPrinter_ = value;
    emit propertyChanged(QStringLiteral("BrowseForPrinter"));
}

void FolderBrowse::setIncludeFiles(bool value) {
    IncludeFiles_ = value;
    emit propertyChanged(QStringLiteral("IncludeFiles"));
}

void FolderBrowse::UserControl_InitProperties() {
    OnlyFileSystemDirectories_ = false;
    DontGoBelowDomain_ = true;
    AllowEditBox_ = false;
    ValidateSelection_ = true;
    UseNewUI_ = false;
    BrowseForComputer_ = false;
    BrowseForPrinter_ = false;
    IncludeFiles_ = false;
    Caption_ = DefaultCaption;
    Enabled_ = true;
    FolderName_.clear();
    FileName_.clear();
    FullName_.clear();
    DisplayName_.clear();
    FileReadOnly_ = false;
    FileHidden_ = false;
    FileSystem_ = false;
    FileCompressed_ = false;
    FileArchived_ = false;
    StartDirectory_.clear();
}

void FolderBrowse::UserControl_ReadProperties(const QVariantMap& bag) {
    Enabled_ = fromBag(bag, "Enabled", true);
    FolderName_ = fromBag(bag, "FolderName", QString());
    FileName_ = fromBag(bag, "FileName", QString());
    FullName_ = fromBag(bag, "FullName", QString());
    DisplayName_ = fromBag(bag, "DisplayName", QString());
    FileReadOnly_ = fromBag(bag, "FileReadOnly", false);
    FileHidden_ = fromBag(bag, "FileHidden", false);
    FileSystem_ = fromBag(bag, "FileSystem", false);
    FileCompressed_ = fromBag(bag, "FileCompressed", false);
    FileArchived_ = fromBag(bag, "FileArchived", false);
    StartDirectory_ = fromBag(bag, "StartDirectory", QString());
    Caption_ = fromBag(bag, "Caption", DefaultCaption);
    OnlyFileSystemDirectories_ = fromBag(bag, "OnlyFileSystemDirectories", false);
    DontGoBelowDomain_ = fromBag(bag, "DontGoBelowDomain", true);
    AllowEditBox_ = fromBag(bag, "AllowEditBox", false);
    ValidateSelection_ = fromBag(bag, "ValidateSelection", true);
    UseNewUI_ = fromBag(bag, "UseNewUI", false);
    BrowseForComputer_ = fromBag(bag, "BrowseForComputer", false);
    BrowseForPrinter_ = fromBag(bag, "BrowseForPrinter", false);
    IncludeFiles_ = fromBag(bag, "IncludeFiles", false);
}

void FolderBrowse::UserControl_WriteProperties(QVariantMap& bag) const {
    toBag(bag, "Enabled", Enabled_, true);
    toBag(bag, "FolderName", FolderName_, QString());
    toBag(bag, "FileName", FileName_, QString());
    toBag(bag, "FullName", FullName_, QString());
    toBag(bag, "DisplayName", DisplayName_, QString());
    toBag(bag, "FileReadOnly", FileReadOnly_, false);
    toBag(bag, "FileHidden", FileHidden_, false);
    toBag(bag, "FileSystem", FileSystem_, false);
    toBag(bag, "FileCompressed", FileCompressed_, false);
    toBag(bag, "FileArchived", FileArchived_, false);
    toBag(bag, "StartDirectory", StartDirectory_, QString());
    toBag(bag, "Caption", Caption_, DefaultCaption);
    toBag(bag, "OnlyFileSystemDirectories", OnlyFileSystemDirectories_, false);
    toBag(bag, "DontGoBelowDomain", DontGoBelowDomain_, true);
    toBag(bag, "AllowEditBox", AllowEditBox_, false);
    toBag(bag, "ValidateSelection", ValidateSelection_, true);
    toBag(bag, "UseNewUI", UseNewUI_, false);
    toBag(bag, "BrowseForComputer", BrowseForComputer_, false);
    toBag(bag, "BrowseForPrinter", BrowseForPrinter_, false);
    toBag(bag, "IncludeFiles", IncludeFiles_, false);
}
