#pragma once

#include <QSet>
#include <QString>

class MessageBoxes;

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

// Tells the user, without waiting, that images could not be saved in folder and why, and records
// it in the error log; method names the command that was writing them. Captures and exports tell
// it alike.
void tellImagesNotSaved(MessageBoxes& boxes, const QString& folder, const QString& reason,
                        const QString& method);
