#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "engine/YuvConverter.h"
#include "video/VideoPath.h"

class FrameStore;
class GlVideoView;
class MediaEngine;
struct VideoFrame;

// The video area: paints the engine's newest frame at its display aspect ratio, black around it,
// and turns the arrow keys and Enter into DVD menu navigation. Shown as a window of its own it is
// the full-screen view, which Esc or a double-click closes. The mouse wheel over it is reported
// for the window to change the volume with.
//
// Where the run draws video with OpenGL (VideoPaths), a GlVideoView fills the stage and the
// graphics card converts and scales each picture. Otherwise each frame is converted once, from
// the decoder's planes, to the size it is shown at, and kept for repaints: the stage tells the
// frame store that size, so the decoder's side delivers frames converted to it; others are
// converted here. A new frame repaints only the picture.
class VideoStage : public QWidget {
    Q_OBJECT
public:
    explicit VideoStage(QWidget* parent = nullptr, VideoPath path = VideoPaths::current());

    // The engine whose frames this stage shows; null shows black.
    void setEngine(MediaEngine* engine);
    MediaEngine* engine() const { return engine_; }
    // A window's stage under the full-screen view paints no pictures: no one would see them,
    // and the pictures come at the full-screen size. Uncovered, it asks for its own again.
    void setCovered(bool covered);

    ~VideoStage() override;

    // Whether pictures are drawn with OpenGL.
    bool drawsWithOpenGl() const { return gl_ != nullptr; }

signals:
    // A double-click on the stage inside a window (the full-screen view closes instead).
    void doubleClicked();
    // The wheel turned, in eighths of a degree (120 a notch), away from the user positive.
    void wheelTurned(int angle);

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void frameArrived();
    // The CPU path from now on, for this stage and those made later.
    void fallBackToCpu(const QString& reason);
    // Tells the engine's frame store the size pictures are painted at; empty lets go of it,
    // unless another stage asked for its own since.
    void askForSize(QSize size);
    // Converts the frame's planes straight into the window's backing store where it is an image
    // and the whole target is being repainted: no picture in between, and no copy of it.
    bool convertIntoBackingStore(QPainter& painter, const VideoFrame& frame, const QRect& target,
                                 const QRegion& exposed);
    // The frame's picture at size (device pixels), scaled at most once per frame and size.
    const QImage& pictureAt(const VideoFrame& frame, QSize size);

    MediaEngine* engine_ = nullptr;
    QMetaObject::Connection frameConnection_;
    QImage scaled_;
    quint64 scaledSerial_ = 0;   // serial of the frame in scaled_, 0 for none
    QRect pictureRect_;          // where the last picture was painted
    QSize pictureDisplaySize_;   // and the display size of its frame
    QPointer<FrameStore> store_; // the engine's, asked for the shown size; may go first
    QSize askedSize_;            // last told to it
    bool covered_ = false;
    GlVideoView* gl_ = nullptr;
    YuvConverter converter_; // for frames that did not come at the size shown
};
