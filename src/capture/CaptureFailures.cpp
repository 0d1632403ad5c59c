#include "capture/CaptureFailures.h"

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
