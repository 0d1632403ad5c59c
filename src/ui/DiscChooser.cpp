#include "ui/DiscChooser.h"

#include "controls/folder_picker/FolderBrowse.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString chooseDiscImageOrFolder(QWidget* owner, const QString& title) {
    static QString lastFolder;
    modBrowse::BrowseInfo info;
    info.owner = owner;
    info.title = title;
    info.initialFolder = lastFolder;
    // The folder picker's dialog with files included: it takes a file or a folder alike.
    info.flags = FolderBrowse::BIF_BROWSEINCLUDEFILES;
    const std::unique_ptr<QFileDialog> dialog = modBrowse::createBrowseDialog(info);
    dialog->setNameFilters({QStringLiteral("*.iso"), QStringLiteral("*")});
    if (dialog->exec() != QDialog::Accepted)
        return {};
    const QStringList picked = dialog->selectedFiles();
    if (picked.isEmpty())
        return {};
    lastFolder = QFileInfo(picked.first()).absolutePath();
    return QDir::toNativeSeparators(picked.first());
}
