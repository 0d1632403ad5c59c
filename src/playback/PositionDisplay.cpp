// The position tick: keeps the time display, the position bar, the cover panel and the controls
// in step with the engine, takes continuous snapshots and ends captures at the end of the title.
#include "playback/PlayerSession.h"

#include "capture/CaptureController.h"
#include "playback/MediaEngine.h"
#include "playback/PlayerView.h"
#include "playback/TimeFormat.h"

void PlayerSession::tick() {
    try {
        const float position = engine_.position();
        const bool idle = !engine_.playing() && position < 0.0f;
        if (idle) {
            // A disc opens on the engine's own threads: the loading state stays until its title
            // plays, or until the engine finds it cannot play the medium.
            if (controlsEnabled_) {
                enableControls(false);
                view_.showProgress(0);
                if (phase_ != Phase::Loading) {
                    phase_ = Phase::NoDisc;
                    view_.showTimeText(QString());
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
        view_.showProgress(engine_.position() * 100.0f);
        if (engine_.playing()) {
            showTime();
            phase_ = Phase::Playing;
            if (coverShown_)
                showCover(false);
            if (!controlsEnabled_)
                enableControls(true);
        }
        if (engine_.position() >= 1.0f) {
            // The disc may go on with a menu after the title: the time shows where the title
            // ended rather than the last figure seen while it played.
            showTime();
            capture_.endAll();
        }
    } catch (const EngineError&) {
        // A failing engine ends this tick; the next one tries again.
    }
}

void PlayerSession::showTime() {
    int elapsed = engine_.time();
    int total = engine_.length();
    view_.showTimeText(FormatTime(elapsed) + QStringLiteral(" / ") + FormatTime(total));
    if (phase_ == Phase::Loading)
        phase_ = Phase::Playing;
}

void PlayerSession::seek(int button, float x, int barWidth) {
    try {
        if (engine_.playlistCount() > 0 && button == 1 && barWidth > 0)
            engine_.setPosition(x / static_cast<float>(barWidth));
    } catch (const EngineError&) {
    }
}
