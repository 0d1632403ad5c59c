// Capture: the single snapshot routine and its pre-check, continuous and timed capture.
#include "app/MainForm.h"

#include "app/ErrorLog.h"
#include "capture/CaptureInterval.h"
#include "i18n/LanguageReader.h"
#include "platform/MessageBoxes.h"
#include "playback/EngineOptions.h"
#include "playback/MediaEngine.h"
#include "settings/Settings.h"
#include "ui/GlyphButton.h"
#include "ui/TimedSnapshotsDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {
constexpr qint32 kSnapshotKey = 83; // the letter S
constexpr qint64 kMinimumFreeBytes = 10240;
const QString kCancelled = QStringLiteral("1");
} // namespace

void MainForm::snapshotCommand_Click() {
    const QString folder = snapshotFolder(Settings::current(), currentDiscLabel);
    // One level is created at most; without a usable parent folder the capture is skipped, and
    // the user hears of it.
    if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder)) {
        reportCaptureFailure(folder,
                             QStringLiteral("The folder does not exist and cannot be created."));
        return;
    }
    try {
        engine.setVariable(QStringLiteral("key-snapshot"), kSnapshotKey);
        engine.setVariable(QStringLiteral("key-pressed"), kSnapshotKey);
    } catch (const EngineError&) {
    }
}

bool MainForm::CaptureAllowed() {
    try {
        if (engine.position() < 0.0f)
            return false;
    } catch (const EngineError&) {
        return false;
    }
    qint64 bytes = 0;
    if (services_.freeSpace(Settings::current().snapshotsPath, &bytes))
        freeBytesAvailable = bytes;
    if (freeBytesAvailable < kMinimumFreeBytes) {
        boxes.show(QString::fromLatin1(FixedText::InsufficientDiskSpace),
                   QString::fromLatin1(FixedText::ErrorTitle), MessageBoxes::Icon::Critical);
        return false;
    }
    return true;
}

void MainForm::snapshotButton_Click() {
    if (CaptureAllowed())
        snapshotCommand_Click();
}

// Switching a mode off never runs the pre-check: a stop must work on a full disk, and the end of
// the title would otherwise re-open the disk-space message on every tick.
void MainForm::continuousSnapshotsButton_Click() {
    if (!continuousRunning && !CaptureAllowed())
        return;
    continuousRunning = !continuousRunning;
    if (continuousRunning)
        captureFailures_.runStarted();
    snapshotButton->setEnabled(!continuousRunning);
    timedSnapshotsButton->setEnabled(!continuousRunning);
}

void MainForm::continuousSnapshots_Click() {
    continuousSnapshotsButton_Click();
}

void MainForm::timedSnapshotsButton_Click() {
    if (!timedRunning) {
        if (!CaptureAllowed())
            return;
        Settings& settings = Settings::current();
        qint32 interval = settings.snapshotInterval;
        if (settings.hideIntervalPrompt == 0) {
            const QString answer = timedSnapshotsDialog()->showPrompt();
            if (answer == kCancelled || !CaptureIntervalValid(answer))
                return;
            interval = intervalFromText(answer);
            settings.snapshotInterval = interval;
        }
        // A hand-edited settings file may hold any number; the timer gets a sane one.
        snapshotsTimer->setInterval(clampInterval(interval));
    }
    timedRunning = !timedRunning;
    if (timedRunning)
        captureFailures_.runStarted();
    snapshotButton->setEnabled(!timedRunning);
    continuousSnapshotsButton->setEnabled(!timedRunning);
    if (timedRunning)
        snapshotCommand_Click();
    if (timedRunning)
        snapshotsTimer->start();
    else
        snapshotsTimer->stop();
}

void MainForm::timedSnapshots_Click() {
    timedSnapshotsButton_Click();
}

void MainForm::snapshotsTimer_Timer() {
    snapshotCommand_Click();
}

void MainForm::snapshotWriter_WriteFailed(const QString& folder, const QString& reason) {
    reportCaptureFailure(folder, reason);
}

void MainForm::snapshotWriter_WriteRecovered() {
    captureFailures_.imageWritten();
}

void MainForm::reportCaptureFailure(const QString& folder, const QString& reason) {
    if (!captureFailures_.failed(folder, reason, continuousRunning || timedRunning))
        return;
    const QString shownFolder = QDir::toNativeSeparators(folder);
    WriteErrorLog(QStringLiteral("Error Description: ") + reason + QStringLiteral(", Folder: ") +
                  shownFolder + QStringLiteral(", Method: snapshotCommand_Click"));
    // Not modal: continuous and timed capture keep their timers and rules while it is open.
    boxes.notify(caption(Caption::ImagesNotSaved) + QLatin1Char('\n') + shownFolder +
                     QLatin1Char('\n') + reason,
                 caption(Caption::ErrorTitle), MessageBoxes::Icon::Critical);
}
