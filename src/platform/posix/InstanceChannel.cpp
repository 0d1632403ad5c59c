#include "platform/InstanceChannel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// A Unix-domain stream socket served through Qt's event loop: Qt's own local sockets would bring
// its network module, and a dozen libraries with it, into every start of the program.

namespace {

bool addressOf(const QString& path, sockaddr_un& address) {
    const QByteArray name = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}

// A non-blocking stream socket for the channel at path, and its address; -1 when the path does
// not fit an address or no socket can be made.
int socketFor(const QString& path, sockaddr_un& address) {
    if (!addressOf(path, address))
        return -1;
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

// Waits until fd is ready for events, for what is left of timeoutMs; false on a timeout.
bool waitFor(int fd, short events, const QElapsedTimer& clock, int timeoutMs) {
    for (;;) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0)
            return false;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, left);
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

} // namespace

// One connection of a second start: its line is read as it comes, bounded.
class InstanceChannel::Peer : public QObject {
public:
    Peer(int fd, InstanceChannel* channel) : QObject(channel), fd_(fd) {
        auto* notifier = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, channel] { read(channel); });
    }
    ~Peer() override { ::close(fd_); }

private:
    void read(InstanceChannel* channel) {
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;
            if (got > 0)
                line_.append(buffer, qsizetype(got));
            const qsizetype end = line_.indexOf('\n');
            // One line, bounded: whatever else a peer sends is not read.
            if (got <= 0 || end >= 0 || line_.size() >= kMaxMessage) {
                const QByteArray text = line_.left(end >= 0 ? end : kMaxMessage).trimmed();
                deleteLater(); // closing tells the sender the line was read
                if (!text.isEmpty() && got >= 0)
                    emit channel->received(QString::fromUtf8(text));
                return;
            }
        }
    }

    int fd_;
    QByteArray line_;
};

InstanceChannel::InstanceChannel(const QString& socketPath, QObject* parent)
    : QObject(parent), path_(socketPath) {}

InstanceChannel::~InstanceChannel() {
    if (listening_ >= 0) {
        ::close(listening_);
        QFile::remove(path_);
    }
}

bool InstanceChannel::listen() {
    if (listening_ >= 0)
        return true;
    sockaddr_un address;
    const int fd = socketFor(path_, address);
    if (fd < 0)
        return false;
    // The lock is ours: a socket file there belongs to an instance that ended.
    ::unlink(address.sun_path);
    // Open to this user only, from the moment it exists.
    const mode_t previous = ::umask(077);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(previous);
    if (!bound || ::listen(fd, 8) != 0) {
        ::close(fd);
        return false;
    }
    listening_ = fd;
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &InstanceChannel::accept);
    return true;
}

void InstanceChannel::accept() {
    for (;;) {
        const int peer = ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (peer < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        new Peer(peer, this);
    }
}

bool InstanceChannel::send(const QString& text, int timeoutMs) const {
    sockaddr_un address;
    const int fd = socketFor(path_, address);
    if (fd < 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    const auto done = [fd](bool result) {
        ::close(fd);
        return result;
    };
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS && errno != EAGAIN)
            return done(false);
        int error = 0;
        socklen_t length = sizeof error;
        if (!waitFor(fd, POLLOUT, clock, timeoutMs) ||
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
            return done(false);
    }
    QByteArray line = text.toUtf8();
    line.replace('\n', ' ');
    line.append('\n');
    for (qsizetype sent = 0; sent < line.size();) {
        const ssize_t wrote =
            ::send(fd, line.constData() + sent, size_t(line.size() - sent), MSG_NOSIGNAL);
        if (wrote > 0)
            sent += wrote;
        else if (wrote < 0 && errno == EINTR)
            continue;
        else if (wrote < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(fd, POLLOUT, clock, timeoutMs))
                return done(false);
        } else
            return done(false);
    }
    // The instance closes the connection once it has read the line.
    char ignored;
    while (waitFor(fd, POLLIN, clock, timeoutMs) && ::recv(fd, &ignored, 1, 0) > 0) {
    }
    return done(true);
}
