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
    // The picture already scaled to the size a video area asked for (FrameStore::setShownSize),
    // or null; and the CPU time the publisher spent scaling it.
    QImage shown;
    qint64 shownCpuNs = 0;
};

// Holds the newest video frame. Written by the decoder thread, read by the video area and handed
// to the snapshot sink; frames are immutable once published, so readers share them without copying.
class FrameStore : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void publish(QImage image, QSize displaySize, QImage shown = {}, qint64 shownCpuNs = 0);
    std::shared_ptr<const VideoFrame> latest() const;
    void clear();

    // The size (device pixels) at which a video area paints the frames, empty for none. The
    // publisher may scale each frame to it while the picture is still in its cache, which costs
    // less than scaling it later on the user-interface thread.
    void setShownSize(QSize size);
    QSize shownSize() const;

signals:
    // Emitted from the publishing thread; connect with a queued connection for widgets.
    void frameArrived();

private:
    mutable QMutex mutex_;
    std::shared_ptr<const VideoFrame> latest_;
    quint64 serial_ = 0;
    QSize shownSize_;
};
