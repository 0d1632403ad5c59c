// Transport controls: play, pause, stop, seek by seconds, full screen, sound.
#include "player/PlayerSession.h"

#include "capture/CaptureController.h"
#include "engine/MediaEngine.h"
#include "platform/Sleep.h"
#include "player/EngineCalls.h"
#include "player/PlayerView.h"

using player::ignoringEngineErrors;

void PlayerSession::playOrThrow() {
    if (engine_.playlistCount() < 1)
        return;
    if (engine_.playing())
        return;
    if (!controlsEnabled_)
        showLoading();
    engine_.play();
    if (phase_ == Phase::Paused)
        phase_ = Phase::Playing;
    view_.enablePauseAndShuttle(true);
    platform::sleepMs(500);
}

void PlayerSession::play() {
    ignoringEngineErrors([this] { playOrThrow(); });
}

void PlayerSession::pause() {
    ignoringEngineErrors([this] {
        if (!(engine_.playing() && engine_.position() >= 0.0f))
            return;
        engine_.pause();
        phase_ = Phase::Paused;
        capture_.playbackPaused();
        view_.enablePauseAndShuttle(false);
    });
}

void PlayerSession::playOrPause() {
    if (phase_ == Phase::Playing)
        pause();
    else
        play();
}

void PlayerSession::stopOrThrow() {
    if (phase_ == Phase::Loading)
        return;
    phase_ = Phase::NoDisc;
    view_.showProgress(0);
    showText(QString());
    if (engine_.position() >= 0.0f) {
        // Captures end first: their last images are of the title, not of a stopped engine.
        capture_.endAll();
        engine_.stop();
        engine_.playlistClear();
        platform::sleepMs(500);
    }
}

void PlayerSession::stop() {
    ignoringEngineErrors([this] { stopOrThrow(); });
}

void PlayerSession::fastForward() {
    ignoringEngineErrors([this] {
        if (engine_.position() >= 0.0f && engine_.playing())
            engine_.shuttle(1);
    });
}

void PlayerSession::rewind() {
    ignoringEngineErrors([this] {
        if (engine_.position() >= 0.0f && engine_.playing())
            engine_.shuttle(-1);
    });
}

void PlayerSession::fullScreen() {
    ignoringEngineErrors([this] {
        if (engine_.position() >= 0.0f)
            engine_.fullscreen();
    });
}

void PlayerSession::toggleMute() {
    ignoringEngineErrors([this] {
        engine_.toggleMute();
        muted_ = !muted_;
        view_.showMuted(muted_, false);
    });
}

void PlayerSession::changeVolume(int value) {
    if (muted_) {
        ignoringEngineErrors([this] {
            engine_.toggleMute();
            muted_ = false;
        });
        view_.showMuted(muted_, true);
    }
    ignoringEngineErrors([this, value] { engine_.setVolume(value); });
}
