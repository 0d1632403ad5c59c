#include "engine/PictureClock.h"

void PictureClock::set(qint64 timeMs, bool running, qint64 nowMs) {
    timeMs_ = qMax<qint64>(0, timeMs);
    sinceMs_ = nowMs;
    running_ = running;
    resuming_ = false;
}

void PictureClock::resume(qint64 nextMs, quint64 shown, qint64 nowMs) {
    if (!isSet() || running_)
        return;
    resuming_ = true;
    nextMs_ = nextMs;
    shownSerial_ = shown;
    resumedAtMs_ = nowMs;
}

void PictureClock::pictureArrived(quint64 serial, qint64 nowMs) {
    if (resuming_ && serial > shownSerial_)
        set(nextMs_, true, nowMs);
}

void PictureClock::stop(qint64 nowMs) {
    if (running_ || resuming_)
        set(time(nowMs), false, nowMs);
}

void PictureClock::move(qint64 deltaMs) {
    if (isSet())
        timeMs_ = qMax<qint64>(0, timeMs_ + deltaMs);
}

void PictureClock::clear() {
    timeMs_ = -1;
    running_ = resuming_ = false;
}

qint64 PictureClock::time(qint64 nowMs) const {
    if (!isSet())
        return -1;
    if (resuming_) {
        const qint64 waited = nowMs - resumedAtMs_;
        return waited > kResumeWaitMs ? nextMs_ + waited - kResumeWaitMs : timeMs_;
    }
    return running_ ? timeMs_ + qMax<qint64>(0, nowMs - sinceMs_) : timeMs_;
}
