#pragma once

#include <QString>

// What the player session tells the window to show. The session calls these at the moments the
// user is to see a change, and never asks the window what it shows.
class PlayerView {
public:
    virtual ~PlayerView() = default;

    // The loading caption in the time display, painted at once (a wait follows that blocks the
    // window).
    virtual void showLoading() = 0;
    virtual void showTimeText(const QString& text) = 0;
    // Position bar, 0 to 100.
    virtual void showProgress(float percent) = 0;
    // The cover over the video area while nothing plays.
    virtual void showCover(bool shown) = 0;
    // Every transport, capture and full-screen control and the Edit menu.
    virtual void EnablePlaybackControls(bool enabled) = 0;
    // Pause, rewind and fast forward: on while a title plays, off while paused.
    virtual void enablePauseAndShuttle(bool enabled) = 0;
    // The sound button's glyph; paintNow when the change must show before the next engine call.
    virtual void showMuted(bool muted, bool paintNow) = 0;
};
