#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace platform {
namespace {
QString& overriddenFolder() {
    static QString folder;
    return folder;
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

} // namespace platform
