#include "Sandbox.h"

#include <QFile>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sandbox {

bool privateMounts() {
    static const bool entered = [] {
        if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0)
            return false;
        // Without this, mounts would still propagate back to the shared namespace.
        return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }();
    return entered;
}

bool makeReadOnly(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    if (::geteuid() != 0)
        return ::chmod(path.constData(), 0555) == 0;
    if (!privateMounts())
        return false;
    return ::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) ==
               0;
}

bool mountTinyDisk(const QString& folder, qint64 bytes) {
    if (::geteuid() != 0 || !privateMounts())
        return false;
    const QByteArray options = "size=" + QByteArray::number(bytes);
    return ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                   options.constData()) == 0;
}

} // namespace sandbox
