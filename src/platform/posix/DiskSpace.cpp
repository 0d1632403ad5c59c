#include "platform/DiskSpace.h"

#include <QFile>
#include <sys/statvfs.h>

namespace platform {

bool freeBytesAvailable(const QString& path, qint64* bytes) {
    struct statvfs info {};
    if (path.isEmpty() || ::statvfs(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    *bytes = static_cast<qint64>(info.f_bavail) * static_cast<qint64>(info.f_frsize);
    return true;
}

} // namespace platform
