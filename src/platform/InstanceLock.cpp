#include "platform/InstanceLock.h"

#include <QDir>
#include <QStandardPaths>

InstanceLock::InstanceLock(const QString& name, const QString& folder) {
    QString dir = folder;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    path_ = QDir(dir).filePath(name + QStringLiteral(".lock"));
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
    // A lock is never stale while its owner lives; a dead owner's lock is removed by tryLock.
    lock_->setStaleLockTime(0);
    lock_->tryLock(0);
}

bool InstanceLock::held() const {
    return lock_ && lock_->isLocked();
}
