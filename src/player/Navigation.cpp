// Picking the picture: frame steps, titles and chapters, audio and subtitle tracks.
#include "player/PlayerSession.h"

#include "engine/MediaEngine.h"
#include "player/EngineCalls.h"

using player::ignoringEngineErrors;

void PlayerSession::stepForward() {
    if (phase_ == Phase::Playing && engine_.playing()) {
        pause();
        return;
    }
    steppedWhilePaused_ = true;
    ignoringEngineErrors([this] { engine_.stepForward(); });
}

void PlayerSession::stepBackward() {
    if (phase_ == Phase::Playing && engine_.playing()) {
        pause();
        return;
    }
    steppedWhilePaused_ = true;
    ignoringEngineErrors([this] { engine_.stepBackward(); });
}

void PlayerSession::nextChapter() {
    ignoringEngineErrors([this] { engine_.nextChapter(); });
}

void PlayerSession::previousChapter() {
    ignoringEngineErrors([this] { engine_.previousChapter(); });
}

void PlayerSession::chooseTitle(int title) {
    ignoringEngineErrors([this, title] { engine_.setTitle(title); });
}

void PlayerSession::chooseChapter(int chapter) {
    ignoringEngineErrors([this, chapter] { engine_.setChapter(chapter); });
}

void PlayerSession::chooseAudioTrack(int id) {
    ignoringEngineErrors([this, id] { engine_.setAudioTrack(id); });
}

void PlayerSession::chooseSubtitleTrack(int id) {
    ignoringEngineErrors([this, id] { engine_.setSubtitleTrack(id); });
}
