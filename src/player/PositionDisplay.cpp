// The position tick: keeps the time display, the position bar, the cover panel and the controls
// in step with the engine, takes continuous snapshots and ends captures at the end of the title.
#include "player/PlayerSession.h"

#include "capture/CaptureController.h"
#include "engine/MediaEngine.h"
#include "player/PlayerView.h"
#include "player/TimeFormat.h"

void PlayerSession::tick() {
    try {
        // Each figure is asked of the engine once a tick: at a hundred ticks a second the
        // lookups are a good part of what playing costs.
        const float position = engine_.position();
        const bool playing = engine_.playing();
        if (!playing && position < 0.0f) {
            // A disc opens on the engine's own threads: the loading state stays until its title
            // plays, or until the engine finds it cannot play the medium.
            if (controlsEnabled_) {
                enableControls(false);
                view_.showProgress(0);
                if (phase_ != Phase::Loading) {
                    phase_ = Phase::NoDisc;
                    showText(QString());
                }
            }
            if (!coverShown_)
                showCover(true);
            if (phase_ == Phase::Loading && engine_.failed())
                reportInvalidDvd();
            return;
        }
        if (capture_.continuousRunning())
            capture_.snapshot();
        view_.showProgress(position * 100.0f);
        if (phase_ == Phase::Paused && steppedWhilePaused_ && !playing)
            showTime(); // frame steps move the picture while paused
        if (playing) {
            showTime();
            phase_ = Phase::Playing;
            steppedWhilePaused_ = false;
            if (coverShown_)
                showCover(false);
            if (!controlsEnabled_)
                enableControls(true);
        }
        if (position >= 1.0f) {
            // The disc may go on with a menu after the title: the time shows where the title
            // ended rather than the last figure seen while it played.
            showTime();
            capture_.endAll();
        }
    } catch (const EngineError&) {
        // A failing engine ends this tick; the next one tries again.
    }
}

// The text is built only when a figure changed: the display shows whole seconds.
void PlayerSession::showTime() {
    const int elapsed = engine_.time();
    const int total = engine_.length();
    if (!timeShown_ || elapsed != shownElapsed_ || total != shownTotal_) {
        int elapsedLeft = elapsed;
        int totalLeft = total;
        showText(FormatTime(elapsedLeft) + QStringLiteral(" / ") + FormatTime(totalLeft));
        timeShown_ = true;
        shownElapsed_ = elapsed;
        shownTotal_ = total;
    }
    if (phase_ == Phase::Loading)
        phase_ = Phase::Playing;
}

void PlayerSession::showText(const QString& text) {
    timeShown_ = false;
    view_.showTimeText(text);
}

void PlayerSession::seek(int button, float x, int barWidth) {
    try {
        if (engine_.playlistCount() > 0 && button == 1 && barWidth > 0)
            engine_.setPosition(x / static_cast<float>(barWidth));
    } catch (const EngineError&) {
    }
}
