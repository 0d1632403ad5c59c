#include "capture/CaptureController.h"

#include "capture/CaptureInterval.h"
#include "capture/CaptureView.h"
#include "capture/SnapshotFolder.h"
#include "engine/MediaEngine.h"
#include "i18n/CaptionTable.h"
#include "platform/MessageBoxes.h"
#include "settings/Settings.h"

namespace {
constexpr qint32 kSnapshotKey = 83; // the letter S
constexpr qint64 kMinimumFreeBytes = 10240;
const QString kCancelled = QStringLiteral("1");
} // namespace

CaptureController::CaptureController(MediaEngine& engine, MessageBoxes& boxes, CaptureView& view,
                                     FreeSpace freeSpace, AskInterval askInterval, QObject* parent)
    : QObject(parent), engine_(engine), boxes_(boxes), view_(view),
      freeSpace_(std::move(freeSpace)), askInterval_(std::move(askInterval)) {
    if (!freeSpace_)
        freeSpace_ = [](const QString&, qint64*) { return false; };
    snapshotsTimer_.setInterval(1000);
    connect(&snapshotsTimer_, &QTimer::timeout, this, &CaptureController::snapshotsTimer_Timer);
}

// Without a usable folder the capture is skipped, and the user hears of it.
bool CaptureController::folderReady() {
    const QString folder = snapshotFolder(Settings::current(), discLabel_);
    const QString unusable = prepareSnapshotFolder(folder);
    if (unusable.isEmpty())
        return true;
    reportFailure(folder, unusable);
    return false;
}

void CaptureController::snapshot() {
    if (!folderReady())
        return;
    try {
        engine_.setVariable(QStringLiteral("key-snapshot"), kSnapshotKey);
        engine_.setVariable(QStringLiteral("key-pressed"), kSnapshotKey);
    } catch (const EngineError&) {
    }
}

void CaptureController::keepLastSeconds() {
    if (!CaptureAllowed() || !folderReady())
        return;
    try {
        engine_.keepRecentFrames();
    } catch (const EngineError&) {
    }
}

bool CaptureController::CaptureAllowed() {
    try {
        if (engine_.position() < 0.0f)
            return false;
    } catch (const EngineError&) {
        return false;
    }
    qint64 bytes = 0;
    if (freeSpace_(Settings::current().snapshotsPath, &bytes))
        freeBytesAvailable_ = bytes;
    if (freeBytesAvailable_ < kMinimumFreeBytes) {
        boxes_.show(QString::fromLatin1(FixedText::InsufficientDiskSpace),
                    QString::fromLatin1(FixedText::ErrorTitle), MessageBoxes::Icon::Critical);
        return false;
    }
    return true;
}

void CaptureController::singleSnapshot() {
    if (CaptureAllowed())
        snapshot();
}

// Switching a mode off never runs the pre-check: a stop must work on a full disk, and the end of
// the title would otherwise re-open the disk-space message on every tick.
void CaptureController::toggleContinuous() {
    if (!continuousRunning_ && !CaptureAllowed())
        return;
    continuousRunning_ = !continuousRunning_;
    if (continuousRunning_)
        failures_.runStarted();
    view_.continuousCaptureChanged(continuousRunning_);
}

void CaptureController::toggleTimed() {
    if (!timedRunning_) {
        if (!CaptureAllowed())
            return;
        Settings& settings = Settings::current();
        qint32 interval = settings.snapshotInterval;
        if (settings.hideIntervalPrompt == 0) {
            const QString answer = askInterval_ ? askInterval_() : kCancelled;
            if (answer == kCancelled || !CaptureIntervalValid(answer))
                return;
            interval = intervalFromText(answer);
            settings.snapshotInterval = interval;
        }
        // A hand-edited settings file may hold any number; the timer gets a sane one.
        snapshotsTimer_.setInterval(clampInterval(interval));
    }
    timedRunning_ = !timedRunning_;
    if (timedRunning_)
        failures_.runStarted();
    view_.timedCaptureChanged(timedRunning_);
    if (timedRunning_) {
        snapshot();
        snapshotsTimer_.start();
    } else {
        snapshotsTimer_.stop();
    }
}

void CaptureController::endAll() {
    if (continuousRunning_)
        toggleContinuous();
    if (timedRunning_)
        toggleTimed();
}

void CaptureController::playbackPaused() {
    if (!timedRunning_)
        return;
    if (snapshotsTimer_.isActive())
        snapshotsTimer_.stop();
    else
        snapshotsTimer_.start();
}

void CaptureController::snapshotsTimer_Timer() {
    snapshot();
}

void CaptureController::writeFailed(const QString& folder, const QString& reason) {
    reportFailure(folder, reason);
}

void CaptureController::writeRecovered() {
    failures_.imageWritten();
}

void CaptureController::reportFailure(const QString& folder, const QString& reason) {
    if (!failures_.failed(folder, reason, running()))
        return;
    tellImagesNotSaved(boxes_, folder, reason, QStringLiteral("snapshotCommand_Click"));
}
