#include "Sandbox.h"

#include <QFile>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sandbox {

bool privateMounts() {
    static bool done = false;
    if (done)
        return true;
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0)
        return false;
    // Without this the host's shared mounts would still receive ours.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return false;
    done = true;
    return true;
}

bool makeReadOnly(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    if (privateMounts()) {
        // A bind mount cannot be made read-only in one step: bind first, then remount.
        if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                    nullptr) != 0)
            return false;
    } else if (::chmod(path.constData(), 0555) != 0) {
        return false;
    }
    return ::access(path.constData(), W_OK) != 0;
}

bool mountTinyDisk(const QString& folder, qint64 bytes) {
    if (!privateMounts())
        return false;
    const QByteArray options = "size=" + QByteArray::number(bytes);
    return ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                   options.constData()) == 0;
}

} // namespace sandbox
