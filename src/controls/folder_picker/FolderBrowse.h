#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <QtGlobal>

#include <functional>
#include <memory>

class QFileDialog;
class QWidget;

// The folder dialog behind FolderBrowse. Tests replace the dialog through the hook so that no
// real dialog opens.
namespace modBrowse {

// What the dialog is asked to show.
struct BrowseInfo {
    QWidget* owner = nullptr;
    QString root; // folder to start from; empty: the desktop
    // Where to open when there is no root and this folder exists (the host's current choice).
    QString initialFolder;
    QString title;
    quint32 flags = 0; // FolderBrowse::Flag bits
};

// Shows the dialog modally and returns the full path of the picked folder (or file, with
// BIF_BROWSEINCLUDEFILES), in native separators; empty text when the dialog was cancelled.
QString BrowseForFolder(const BrowseInfo& info);

// The dialog BrowseForFolder shows, configured but not shown.
std::unique_ptr<QFileDialog> createBrowseDialog(const BrowseInfo& info);

// Replaces the dialog: the hook gets the request and returns the pick, or empty text for a
// cancel. An empty function brings the real dialog back.
void setBrowseDialogHook(std::function<QString(const BrowseInfo&)> hook);

} // namespace modBrowse

// A non-visual control that lets the user pick a folder: configure it, call Browse(), and read
// FullName. Its settable properties persist in the host's property bag; the read-only ones are
// only ever loaded from there.
class FolderBrowse : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Enabled", "Returns/sets a value that determines whether an object can respond "
                           "to user-generated events.")
    Q_CLASSINFO("FolderName", "The folder (directory name)")
    Q_CLASSINFO("FileName", "The File name (if browsing for a file)")
    Q_CLASSINFO("FullName", "The full path and file name to the file/folder")
    Q_CLASSINFO("DisplayName", "File/Folders display name")
    Q_CLASSINFO("FileReadOnly", "Is the file read only")
    Q_CLASSINFO("FileHidden", "Is the file a hidden file")
    Q_CLASSINFO("FileSystem", "Is the file a system file")
    Q_CLASSINFO("FileCompressed", "Is the file compressed")
    Q_CLASSINFO("FileArchived", "Is the file archived")
    Q_CLASSINFO("Browse", "Starts the File/Folder Browse Dialog")
    Q_CLASSINFO("StartDirectory", "The directory to start browsing from")
    Q_CLASSINFO("Caption", "Sets the caption of the Folder/File Browser")
    Q_CLASSINFO("OnlyFileSystemDirectories", "Only file system directories")
    Q_CLASSINFO("DontGoBelowDomain", "No network folders below domain level")
    Q_CLASSINFO("AllowEditBox", "Allows user to rename selection")
    Q_CLASSINFO("ValidateSelection", "Insist on valid edit box result (or CANCEL)")
    Q_CLASSINFO("UseNewUI",
                "Setting this flag provides the user with a larger dialog box that can be "
                "resized.  It has several new capabilities including: dialog box, reordering, "
                "context menus, new folders, drag and drop capability within the delete, and "
                "other context menu commands.")
    Q_CLASSINFO("BrowseForComputer", "Only returns computers")
    Q_CLASSINFO("BrowseForPrinter", "Only returns printers")
    Q_CLASSINFO("IncludeFiles", "Browse for Everything")

    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QString FolderName READ FolderName)
    Q_PROPERTY(QString FileName READ FileName)
    Q_PROPERTY(QString FullName READ FullName)
    Q_PROPERTY(QString DisplayName READ DisplayName)
    Q_PROPERTY(bool FileReadOnly READ FileReadOnly)
    Q_PROPERTY(bool FileHidden READ FileHidden)
    Q_PROPERTY(bool FileSystem READ FileSystem)
    Q_PROPERTY(bool FileCompressed READ FileCompressed)
    Q_PROPERTY(bool FileArchived READ FileArchived)
    Q_PROPERTY(QString StartDirectory READ StartDirectory WRITE setStartDirectory)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool OnlyFileSystemDirectories READ OnlyFileSystemDirectories WRITE
                   setOnlyFileSystemDirectories)
    Q_PROPERTY(bool DontGoBelowDomain READ DontGoBelowDomain WRITE setDontGoBelowDomain)
    Q_PROPERTY(bool AllowEditBox READ AllowEditBox WRITE setAllowEditBox)
    Q_PROPERTY(bool ValidateSelection READ ValidateSelection WRITE setValidateSelection)
    Q_PROPERTY(bool UseNewUI READ UseNewUI WRITE setUseNewUI)
    Q_PROPERTY(bool BrowseForComputer READ BrowseForComputer WRITE setBrowseForComputer)
    Q_PROPERTY(bool BrowseForPrinter READ BrowseForPrinter WRITE setBrowseForPrinter)
    Q_PROPERTY(bool IncludeFiles READ IncludeFiles WRITE setIncludeFiles)

public:
    // Bits of the dialog's flag word, one per option property.
    enum Flag : quint32 {
        BIF_RETURNONLYFSDIRS = 0x0001,
        BIF_DONTGOBELOWDOMAIN = 0x0002,
        BIF_EDITBOX = 0x0010,
        BIF_VALIDATE = 0x0020,
        BIF_NEWDIALOGSTYLE = 0x0040,
        BIF_BROWSEFORCOMPUTER = 0x1000,
        BIF_BROWSEFORPRINTER = 0x2000,
        BIF_BROWSEINCLUDEFILES = 0x4000,
    };

    // The parent widget, if any, owns the dialog. A new control holds the defaults.
    explicit FolderBrowse(QObject* parent = nullptr);

    // Shows the dialog modally. True when the pick has a file-system path, which FullName then
    // holds; otherwise FullName becomes empty.
    bool Browse();

    // The folder the next Browse opens in when StartDirectory is empty and it exists. A run-time
    // hint of the host, not a property: it is neither saved nor shown on the property page.
    void setInitialFolder(const QString& folder) { initialFolder_ = folder; }

    // The flag word: the bits of the option properties that are true.
    quint32 flags() const;

    bool Enabled() const { return Enabled_; }
    QString FolderName() const { return FolderName_; }
    QString FileName() const { return FileName_; }
    QString FullName() const { return FullName_; }
    QString DisplayName() const { return DisplayName_; }
    bool FileReadOnly() const { return FileReadOnly_; }
    bool FileHidden() const { return FileHidden_; }
    bool FileSystem() const { return FileSystem_; }
    bool FileCompressed() const { return FileCompressed_; }
    bool FileArchived() const { return FileArchived_; }
    QString StartDirectory() const { return StartDirectory_; }
    QString Caption() const { return Caption_; }
    bool OnlyFileSystemDirectories() const { return OnlyFileSystemDirectories_; }
    bool DontGoBelowDomain() const { return DontGoBelowDomain_; }
    bool AllowEditBox() const { return AllowEditBox_; }
    bool ValidateSelection() const { return ValidateSelection_; }
    bool UseNewUI() const { return UseNewUI_; }
    bool BrowseForComputer() const { return BrowseForComputer_; }
    bool BrowseForPrinter() const { return BrowseForPrinter_; }
    bool IncludeFiles() const { return IncludeFiles_; }

    // Each setter stores the value as given and reports the change to the host.
    void setEnabled(bool value);
    void setStartDirectory(const QString& value);
    void setCaption(const QString& value);
    void setOnlyFileSystemDirectories(bool value);
    void setDontGoBelowDomain(bool value);
    void setAllowEditBox(bool value);
    void setValidateSelection(bool value);
    void setUseNewUI(bool value);
    void setBrowseForComputer(bool value);
    void setBrowseForPrinter(bool value);
    void setIncludeFiles(bool value);

    // Host life cycle: a new instance takes the defaults; a saved one is read from and written to
    // the host's property bag, where a value equal to its default is left out.
    void UserControl_InitProperties();
    void UserControl_ReadProperties(const QVariantMap& bag);
    void UserControl_WriteProperties(QVariantMap& bag) const;

signals:
    // A settable property was assigned (also with its current value), so the host's saved
    // properties are out of date.
    void propertyChanged(const QString& name);

private:
    bool OnlyFileSystemDirectories_ = false;
    bool DontGoBelowDomain_ = true;
    bool AllowEditBox_ = false;
    bool ValidateSelection_ = true;
    bool UseNewUI_ = false;
    bool BrowseForComputer_ = false;
    bool BrowseForPrinter_ = false;
    bool IncludeFiles_ = false;
    QString Caption_;
    bool Enabled_ = true;
    QString FolderName_;
    QString FileName_;
    QString FullName_;
    QString DisplayName_;
    bool FileReadOnly_ = false;
    bool FileHidden_ = false;
    bool FileSystem_ = false;
    bool FileCompressed_ = false;
    bool FileArchived_ = false;
    QString StartDirectory_;
    QString initialFolder_;
};
