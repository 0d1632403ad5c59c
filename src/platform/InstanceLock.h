#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// A per-user lock that exists exactly as long as the first instance of the program runs.
// A lock whose owner is not a live instance of the program (a process that died, a damaged or
// empty lock file, one written on another machine) is taken over.
class InstanceLock {
public:
    explicit InstanceLock(const QString& name = QStringLiteral("TarnwickStillbeck"),
                          const QString& folder = QString());

    // True when another live process holds the lock. When nobody does, this process takes it.
    bool anotherInstanceRunning();
    // Takes the lock if this process does not hold it yet; failure is not reported.
    void create();
    bool held() const;

    QString path() const { return path_; }
    // Where the instance holding the lock listens for a second start (InstanceChannel).
    QString channelPath() const;

private:
    // The lock file names a running process of this program on this machine.
    bool ownerIsLive() const;

    QString path_;
    std::unique_ptr<QLockFile> lock_;
};
