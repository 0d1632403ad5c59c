#pragma once

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSize>
#include <memory>

// One decoded video picture.
struct VideoFrame {
    QImage image;       // the picture at its coded size (e.g. 720 x 576), Format_RGB32
    QSize displaySize;  // its size on screen: coded height, width from the display aspect ratio
    quint64 serial = 0; // grows by one with every published frame
};

// Holds the newest video frame. Written by the decoder thread, read by the video area and by the
// snapshot writer; frames are immutable once published, so readers share them without copying.
class FrameStore : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void publish(QImage image, QSize displaySize);
    std::shared_ptr<const VideoFrame> latest() const;
    void clear();

signals:
    // Emitted from the publishing thread; connect with a queued connection for widgets.
    void frameArrived();

private:
    mutable QMutex mutex_;
    std::shared_ptr<const VideoFrame> latest_;
    quint64 serial_ = 0;
};
