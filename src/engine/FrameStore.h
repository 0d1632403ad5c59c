#pragma once

#include "engine/VideoFrame.h"

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSize>
#include <deque>
#include <memory>
#include <vector>

// Holds the newest video frame and the history of the recent ones. Written by the decoder
// thread, read by the video area and handed to the snapshot sink; frames are immutable once
// published, so readers share them without copying.
//
// The history keeps the last historyLength() distinct frames (their pictures only: the scaled
// copy is the newest frame's alone), so that stepping back through them is exact and costs no
// decoding. Stepping back shows an older frame: latest() is always the frame on show, which a
// snapshot takes; a newly published frame is shown again.
class FrameStore : public QObject {
    Q_OBJECT
public:
    // The history spans this much of the video's time.
    static constexpr int kHistorySeconds = 2;
    // Two seconds of 30 fps pictures (NTSC's 29.97 included) until the stream's rate is known.
    static constexpr int kDefaultHistoryLength = 61;

    using QObject::QObject;

    // A picture from the decoder, as its planes; or one already in RGB.
    void publish(std::shared_ptr<const YuvPicture> planes, QSize displaySize, QImage shown = {},
                 qint64 shownCpuNs = 0);
    void publish(QImage image, QSize displaySize, QImage shown = {}, qint64 shownCpuNs = 0);
    // The steady clock frames are stamped with, in milliseconds.
    static qint64 clockMs();
    // The frame on show: the newest one, or the one the user stepped back to; or a frame held.
    std::shared_ptr<const VideoFrame> latest() const;
    // The newest frame published, whatever is on show.
    std::shared_ptr<const VideoFrame> newest() const;
    void clear();

    // The size (device pixels) at which a video area paints the frames, empty for none. The
    // publisher may scale each frame to it while the picture is still in its cache, which costs
    // less than scaling it later on the user-interface thread.
    void setShownSize(QSize size);
    QSize shownSize() const;

    // The recent frames, oldest first (the newest last).
    std::vector<std::shared_ptr<const VideoFrame>> history() const;
    int historyLength() const;
    // Frames kept, at least 2; older ones are let go.
    void setHistoryLength(int frames);
    // The video's pictures per second (0: unknown); the history is made to span
    // kHistorySeconds of them.
    void setFrameRate(double framesPerSecond);
    double frameRate() const;
    // Shows the frame before / after the one on show; false at the history's end.
    bool stepBack();
    bool stepForward();
    // How many frames before the newest the one on show is.
    int stepsBack() const;
    // Shows the kept frame with this serial; false when the history holds none.
    bool showSerial(quint64 serial);
    // While a frame is held, latest() gives it whatever is published, and the frame stepped to
    // stays the same one (the engine holds the picture while it looks for an older one); null
    // lets go.
    void hold(std::shared_ptr<const VideoFrame> frame);
    // Lets go of the newest frame and the history (a held frame stays on show).
    void forgetHistory();

signals:
    // Emitted from the publishing thread, and on a step; connect queued for widgets.
    void frameArrived();

private:
    void publishPicture(std::shared_ptr<const VideoFrame::Picture> picture, QSize displaySize,
                        QImage shown, qint64 shownCpuNs);
    void trimHistory(std::vector<std::shared_ptr<const VideoFrame>>& released);

    mutable QMutex mutex_;
    std::shared_ptr<const VideoFrame> latest_;
    std::deque<std::shared_ptr<const VideoFrame>> history_;
    std::shared_ptr<const VideoFrame> held_;
    int historyLength_ = kDefaultHistoryLength;
    double frameRate_ = 0;
    int stepsBack_ = 0;
    quint64 serial_ = 0;
    QSize shownSize_;
};
