// The interval text rule: whatever it accepts converts to an interval the timer can take.
#include "capture/CaptureInterval.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qint32 ms = intervalFromText(text);
    if (CaptureIntervalValid(text) && (ms < MinCaptureInterval || ms > MaxCaptureInterval))
        std::abort();
    const qint32 clamped = clampInterval(ms);
    if (clamped < MinCaptureInterval || clamped > MaxCaptureInterval)
        std::abort();
    return 0;
}
