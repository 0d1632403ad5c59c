#include "capture/CaptureFailures.h"

#include "i18n/LanguageReader.h"
#include "platform/ErrorLog.h"
#include "platform/MessageBoxes.h"

#include <QDir>

void CaptureFailureNotice::runStarted() {
    runTold_ = false;
}

void CaptureFailureNotice::imageWritten() {
    causesTold_.clear();
}

bool CaptureFailureNotice::failed(const QString& folder, const QString& reason, bool runActive) {
    // The cause is remembered in runs too, so images still queued when a run stops do not raise
    // a second message for what the run already told.
    const QString cause = folder + QChar(0) + reason;
    const bool newCause = !causesTold_.contains(cause);
    causesTold_.insert(cause);
    if (runActive) {
        if (runTold_)
            return false;
        runTold_ = true;
        return true;
    }
    return newCause;
}

void tellImagesNotSaved(MessageBoxes& boxes, const QString& folder, const QString& reason,
                        const QString& method) {
    const QString shownFolder = QDir::toNativeSeparators(folder);
    WriteErrorLog(QStringLiteral("Error Description: ") + reason + QStringLiteral(", Folder: ") +
                  shownFolder + QStringLiteral(", Method: ") + method);
    // Not modal: running captures and exports keep their timers and rules while it is open.
    boxes.notify(caption(Caption::ImagesNotSaved) + QLatin1Char('\n') + shownFolder +
                     QLatin1Char('\n') + reason,
                 caption(Caption::ErrorTitle), MessageBoxes::Icon::Critical);
}
