#pragma once

#include <QObject>
#include <QString>

// How a second start hands its disc to the instance that runs: a local socket beside the
// single-instance lock, open to this user only. The running instance listens; a second start
// sends one line of text (a path) and ends.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    // The longest text accepted: a path, not a file.
    static constexpr qint64 kMaxMessage = 64 * 1024;

    explicit InstanceChannel(const QString& socketPath, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Starts listening; only the instance holding the lock calls it, so a socket left by one
    // that died is replaced. False when the socket cannot be made.
    bool listen();
    // Hands text to the instance listening; false when none answers within timeoutMs.
    bool send(const QString& text, int timeoutMs = 3000) const;

signals:
    // A second start handed over text (delivered on this thread).
    void received(const QString& text);

private:
    class Peer;
    void accept();

    QString path_;
    int listening_ = -1; // the listening socket, -1 for none
};
