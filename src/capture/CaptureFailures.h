#pragma once

#include <QSet>
#include <QString>

// Decides which failed images the user hears about. Continuous and timed capture can fail a
// hundred times a second; the user is told once per capture run. Single snapshots tell once per
// cause (folder and reason) until an image is written again, so a repeated click on a full disk
// does not stack messages, while a new cause is still told.
class CaptureFailureNotice {
public:
    // Continuous or timed capture was switched on: its first failure is told.
    void runStarted();
    // An image was written: single snapshots tell their failures again.
    void imageWritten();
    // A failure; runActive: continuous or timed capture is running. True when the user is to be
    // told (and the error log to record it).
    bool failed(const QString& folder, const QString& reason, bool runActive);

private:
    bool runTold_ = false;
    QSet<QString> causesTold_;
};
