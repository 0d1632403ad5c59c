#pragma once

#include <QImage>
#include <QWidget>

class MediaEngine;
struct VideoFrame;

// The video area: paints the engine's newest frame at its display aspect ratio, black around it,
// and turns the arrow keys and Enter into DVD menu navigation. Shown as a window of its own it is
// the full-screen view, which Esc closes.
//
// Each frame is scaled once to the size it is shown at, on this thread, and kept for repaints;
// a frame shown at its own size is drawn as it is. A new frame repaints only the picture.
class VideoStage : public QWidget {
    Q_OBJECT
public:
    explicit VideoStage(QWidget* parent = nullptr);

    // The engine whose frames this stage shows; null shows black.
    void setEngine(MediaEngine* engine);
    MediaEngine* engine() const { return engine_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void frameArrived();
    // The frame's picture at size (device pixels), scaled at most once per frame and size.
    const QImage& pictureAt(const VideoFrame& frame, QSize size);

    MediaEngine* engine_ = nullptr;
    QMetaObject::Connection frameConnection_;
    QImage scaled_;
    quint64 scaledSerial_ = 0; // serial of the frame in scaled_, 0 for none
    QRect pictureRect_;        // where the last picture was painted
    QSize pictureDisplaySize_; // and the display size of its frame
};
