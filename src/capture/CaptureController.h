#pragma once

#include "capture/CaptureFailures.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class CaptureView;
class MediaEngine;
class MessageBoxes;

// Single, continuous and timed snapshots: the checks before a capture, the two running modes,
// the timer of timed capture and what the user hears when images cannot be written. The image
// writer's reports are connected to writeFailed() and writeRecovered() (queued: they come from
// its thread).
class CaptureController : public QObject {
    Q_OBJECT
public:
    // Free bytes available to the user on the volume of a path; false when it cannot be queried.
    using FreeSpace = std::function<bool(const QString& path, qint64* bytes)>;
    // Asks the user for the timed-capture interval: the text typed, or "1" when cancelled.
    using AskInterval = std::function<QString()>;

    CaptureController(MediaEngine& engine, MessageBoxes& boxes, CaptureView& view,
                      FreeSpace freeSpace, AskInterval askInterval, QObject* parent = nullptr);

    bool continuousRunning() const { return continuousRunning_; }
    bool timedRunning() const { return timedRunning_; }
    bool running() const { return continuousRunning_ || timedRunning_; }
    // The free space the last check found.
    qint64 freeBytesAvailable() const { return freeBytesAvailable_; }
    QTimer& snapshotsTimer() { return snapshotsTimer_; }

    // The label of the disc being played; its images go to the folder named after it.
    void setDiscLabel(const QString& label) { discLabel_ = label; }
    const QString& discLabel() const { return discLabel_; }

    // Asks the engine for one image of the current frame, after making sure its folder exists.
    void snapshot();
    // A title is loaded and there is room on the snapshot folder's disk; the user is told when
    // there is not.
    bool CaptureAllowed();
    // The snapshot button: one image, when allowed.
    void singleSnapshot();
    // The pictures of the last seconds as a numbered series, when allowed.
    void keepLastSeconds();
    // Switch continuous or timed capture on (after the checks and, for timed capture, the
    // interval prompt) or off.
    void toggleContinuous();
    void toggleTimed();
    // Ends whichever modes are running, as their buttons would.
    void endAll();
    // Pausing or resuming playback: a running timed capture's timer is inverted, not stopped,
    // so that a second pause lets the timed images run again.
    void playbackPaused();
    // Timed capture's tick.
    void snapshotsTimer_Timer();

    // The image writer's reports.
    void writeFailed(const QString& folder, const QString& reason);
    void writeRecovered();

private:
    // The snapshot folder exists or was made; the user is told when it cannot be.
    bool folderReady();
    // Tells the user (without waiting) and the error log that images are being lost, as often as
    // failures_ allows.
    void reportFailure(const QString& folder, const QString& reason);

    MediaEngine& engine_;
    MessageBoxes& boxes_;
    CaptureView& view_;
    FreeSpace freeSpace_;
    AskInterval askInterval_;
    bool continuousRunning_ = false;
    bool timedRunning_ = false;
    qint64 freeBytesAvailable_ = 0;
    QString discLabel_;
    QTimer snapshotsTimer_;
    CaptureFailureNotice failures_;
};
