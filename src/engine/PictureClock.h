#pragma once

#include <QtGlobal>

// The time of the picture on show, where the engine knows it better than libVLC does: libVLC's
// time on a DVD is the demuxer's, up to half a second before or after the picture and moving a
// group of pictures at a time. Set exactly where a seek lands or a frame step goes, it runs with
// the wall clock while the title plays (pictures are shown in real time) and stands while it
// does not. Playback resumed from a pause moves the picture only once libVLC has buffered again,
// so the clock runs from the next picture's arrival. Times are milliseconds; "now" is any steady
// clock's reading.
class PictureClock {
public:
    // A resumed playback that brings no new picture (a still) runs the clock after this long.
    static constexpr qint64 kResumeWaitMs = 1000;

    // The picture on show now has this time; running: playback moves it on.
    void set(qint64 timeMs, bool running, qint64 nowMs);
    // Playback resumes: the next picture, the first one published after serial `shown`, has
    // the time nextMs.
    void resume(qint64 nextMs, quint64 shown, qint64 nowMs);
    void pictureArrived(quint64 serial, qint64 nowMs);
    // Playback stands (a resume still waiting for its picture is called off).
    void stop(qint64 nowMs);
    // A frame step moves the picture by this much.
    void move(qint64 deltaMs);
    void clear();
    bool isSet() const { return timeMs_ >= 0; }
    bool running() const { return running_; }
    bool resuming() const { return resuming_; }
    // The picture's time now; negative while not set.
    qint64 time(qint64 nowMs) const;

private:
    qint64 timeMs_ = -1; // at sinceMs_
    qint64 sinceMs_ = 0;
    bool running_ = false;
    bool resuming_ = false;
    qint64 nextMs_ = 0;
    quint64 shownSerial_ = 0;
    qint64 resumedAtMs_ = 0;
};
