// The drive list and opening the chosen disc (or disc image or folder) with the snapshot options.
#include "player/PlayerSession.h"

#include "capture/CaptureController.h"
#include "engine/MediaEngine.h"
#include "i18n/LanguageReader.h"
#include "platform/MessageBoxes.h"
#include "platform/Sleep.h"
#include "player/DiscImage.h"
#include "player/DriveEnumerator.h"
#include "player/EngineOptions.h"
#include "player/PlayerView.h"
#include "settings/Settings.h"

#include <QFileInfo>

namespace {
constexpr int kAddTargetMode = 2;
constexpr int kAddTargetPosition = 0;
} // namespace

const QStringList& PlayerSession::listDrives() {
    driveEnumerator_->ListDvdDrives(driveMenuCaptions_);
    return driveMenuCaptions_;
}

void PlayerSession::openDrive(int index) {
    if (index < 0 || index >= driveMenuCaptions_.size())
        return;
    const QString& chosen = driveMenuCaptions_[index];
    if (chosen.startsWith(caption(Caption::InsertDvd)))
        return;
    openDisc(driveEnumerator_->driveRoots.value(index), DriveEnumerator::labelFromCaption(chosen));
}

void PlayerSession::openImageOrFolder(const QString& picked) {
    const QString disc = discPathOf(picked);
    openDisc(disc, discLabelOf(disc));
}

void PlayerSession::openArgument(const QString& argument) {
    const QString path = pathOfArgument(argument);
    const QString device = QFileInfo(path).canonicalFilePath();
    for (const QString& drive : drives_.cdDrives()) {
        if (device.isEmpty() || QFileInfo(drives_.mediaPath(drive)).canonicalFilePath() != device)
            continue;
        QString label;
        if (!drives_.volumeLabel(drive, &label)) {
            reportInvalidDvd();
            return;
        }
        // A label ends at its first NUL, as in the drive list.
        openDisc(drive, label.section(QChar(0), 0, 0));
        return;
    }
    openImageOrFolder(path);
}

void PlayerSession::BuildEngineOptions() {
    engineOptions_ = buildEngineOptions(Settings::current(), currentDiscLabel_);
}

void PlayerSession::openDisc(const QString& drive, const QString& label) {
    try {
        stopOrThrow();
        engine_.playlistClear();
        showCover(true);
        platform::sleepMs(500);
        showLoading();
        currentDrive_ = drive;
        currentDiscLabel_ = label;
        capture_.setDiscLabel(label);
        loadDisc(QStringLiteral("dvd://") + currentDrive_);
    } catch (const EngineError&) {
        reportInvalidDvd();
    }
}

void PlayerSession::reloadDisc() {
    // A refusal is reported like a failed opening.
    try {
        stopOrThrow();
        showCover(true);
        platform::sleepMs(500);
        engine_.playlistClear();
        showLoading();
        loadDisc(currentDrive_);
    } catch (const EngineError&) {
        reportInvalidDvd();
    }
}

void PlayerSession::showLoading() {
    phase_ = Phase::Loading;
    timeShown_ = false;
    view_.showLoading();
}

void PlayerSession::loadDisc(const QString& target) {
    if (engineOptions_.size() < 2)
        BuildEngineOptions();
    engineOptions_[1] = snapshotPathOption(Settings::current(), currentDiscLabel_);
    engine_.addTarget(target, engineOptions_, kAddTargetMode, kAddTargetPosition);
    platform::sleepMs(500);
    playOrThrow();
}

// Also reached from the position tick when the engine finds, after the open sequence, that the
// medium cannot be played; leaving the loading state first keeps the ticks that run under the
// message box from reporting it again.
void PlayerSession::reportInvalidDvd() {
    phase_ = Phase::NoDisc;
    showText(QString());
    boxes_.show(caption(Caption::InvalidDvd), QString::fromLatin1(FixedText::AppTitle),
                MessageBoxes::Icon::Critical);
}
