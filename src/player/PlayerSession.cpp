#include "player/PlayerSession.h"

#include "i18n/LanguageReader.h"
#include "player/DriveEnumerator.h"
#include "player/PlayerView.h"

PlayerSession::PlayerSession(MediaEngine& engine, DriveSource& drives, MessageBoxes& boxes,
                             CaptureController& capture, PlayerView& view)
    : engine_(engine), drives_(drives), boxes_(boxes), capture_(capture), view_(view),
      driveEnumerator_(
          std::make_unique<DriveEnumerator>(drives, [] { return caption(Caption::InsertDvd); })) {}

PlayerSession::~PlayerSession() = default;

void PlayerSession::enableControls(bool enabled) {
    controlsEnabled_ = enabled;
    view_.EnablePlaybackControls(enabled);
}

void PlayerSession::showCover(bool shown) {
    coverShown_ = shown;
    view_.showCover(shown);
}
