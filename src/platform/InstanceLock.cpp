#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <csignal>
#endif

namespace {

// Whether pid is a running process of this same program. When the system cannot tell, the
// process counts as ours: a live owner must keep its lock.
bool isLiveInstance(qint64 pid) {
    if (pid <= 0)
        return false;
#ifdef Q_OS_UNIX
    if (pid > INT_MAX || (::kill(pid_t(pid), 0) != 0 && errno == ESRCH))
        return false;
#endif
#ifdef Q_OS_LINUX
    // A recycled process id names some other program.
    const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    if (!exe.isEmpty())
        return QFileInfo(exe).fileName() ==
               QFileInfo(QCoreApplication::applicationFilePath()).fileName();
#endif
    return true;
}

} // namespace

InstanceLock::InstanceLock(const QString& name, const QString& folder) {
    QString dir = folder;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    path_ = QDir(dir).filePath(name + QStringLiteral(".lock"));
}

QString InstanceLock::channelPath() const {
    QString socket = path_;
    socket.chop(int(qstrlen(".lock")));
    return socket + QStringLiteral(".socket");
}

bool InstanceLock::anotherInstanceRunning() {
    if (held())
        return false;
    create();
    return !held() && lock_->error() == QLockFile::LockFailedError;
}

void InstanceLock::create() {
    if (held())
        return;
    lock_ = std::make_unique<QLockFile>(path_);
    // A lock is never stale by age while its owner lives; a dead owner's lock is removed by
    // tryLock.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0) || lock_->error() != QLockFile::LockFailedError || ownerIsLive())
        return;
    // Empty, garbled, written on another machine or by a process that is no Stillbeck: nobody
    // holds it. Removal still fails while a process keeps the file locked.
    lock_->removeStaleLockFile();
    lock_->tryLock(0);
}

bool InstanceLock::ownerIsLive() const {
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock_->getLockInfo(&pid, &host, &application))
        return false;
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return false;
    return isLiveInstance(pid);
}

bool InstanceLock::held() const {
    return lock_ && lock_->isLocked();
}
