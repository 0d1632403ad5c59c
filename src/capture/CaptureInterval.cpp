#include "capture/CaptureInterval.h"

#include "settings/LeadingNumber.h"

#include <cmath>
#include <limits>

bool CaptureIntervalValid(const QString& text) {
    const double value = leadingNumber(text);
    if (!(value >= MinCaptureInterval && value <= MaxCaptureInterval))
        return false;
    // Shortest form with 15 significant digits: no exponent in this range, no trailing zeros.
    return text == QString::number(value, 'g', 15);
}

qint32 intervalFromText(const QString& text) {
    const double value = leadingNumber(text);
    if (std::isnan(value))
        return 0;
    const double whole = roundHalfEven(value);
    if (whole >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (whole <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return qint32(whole);
}

qint32 clampInterval(qint32 ms) {
    return qBound(MinCaptureInterval, ms, MaxCaptureInterval);
}
