#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {
namespace {
QString& overriddenFolder() {
    static QString folder;
    return folder;
}

QString& overriddenUserFolder() {
    static QString folder;
    return folder;
}

QString userFolder() {
    if (!overriddenUserFolder().isEmpty())
        return overriddenUserFolder();
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}
} // namespace

QString programFolder() {
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

void setProgramFolder(const QString& folder) {
    overriddenFolder() = QDir::toNativeSeparators(folder);
}

QString programFile(const QString& name) {
    return programFolder() + QDir::separator() + name;
}

QString writableFolder() {
    const QString program = programFolder();
    // Asked anew each time: cheap, and right for whoever runs the program (root may write
    // into an installed copy's folder, a user may not).
    if (QFileInfo(program).isWritable())
        return program;
    const QString user = userFolder();
    if (user.isEmpty())
        return program; // no home folder: the writes fail where they would have anyway
    QDir().mkpath(user);
    return QDir::toNativeSeparators(user);
}

QString writableFile(const QString& name) {
    return writableFolder() + QDir::separator() + name;
}

void setUserFolder(const QString& folder) {
    overriddenUserFolder() = QDir::toNativeSeparators(folder);
}

} // namespace platform
