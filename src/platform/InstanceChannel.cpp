#include "platform/InstanceChannel.h"

#include <QLocalServer>
#include <QLocalSocket>

InstanceChannel::InstanceChannel(const QString& socketPath, QObject* parent)
    : QObject(parent), path_(socketPath) {}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::listen() {
    if (server_ && server_->isListening())
        return true;
    delete server_;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::accept);
    // The lock is ours: a socket file there belongs to an instance that ended.
    QLocalServer::removeServer(path_);
    return server_->listen(path_);
}

void InstanceChannel::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // One line, bounded: whatever else a peer sends is not read.
            if (!socket->canReadLine() && socket->bytesAvailable() < kMaxMessage)
                return;
            const QByteArray line = socket->readLine(kMaxMessage).trimmed();
            socket->disconnectFromServer();
            if (!line.isEmpty())
                emit received(QString::fromUtf8(line));
        });
    }
}

bool InstanceChannel::send(const QString& text, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray line = text.toUtf8();
    line.replace('\n', ' ');
    socket.write(line + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The instance closes the connection once it has read the line.
    socket.waitForDisconnected(timeoutMs);
    return true;
}
