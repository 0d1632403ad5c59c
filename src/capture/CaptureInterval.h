#pragma once

#include <QString>
#include <QtGlobal>

// Interval of timed capture, in milliseconds, as typed by the user.

inline constexpr qint32 MinCaptureInterval = 1000;
inline constexpr qint32 MaxCaptureInterval = 60000;

// True when text is exactly the canonical decimal form of a number from 1000 to 60000: digits
// only, no sign, blanks, leading zeros, separators or exponent, and a point followed by the
// fractional digits without trailing zeros only when the number is not whole (at most 15
// significant digits). The point is always ".", whatever the user's locale.
bool CaptureIntervalValid(const QString& text);

// The whole number of milliseconds a text stands for: its leading number, rounded to the nearest
// whole number with a half going to the even neighbour (1500.5 gives 1500, 1501.5 gives 1502).
// Values beyond the 32-bit range saturate; a text without a number gives 0.
qint32 intervalFromText(const QString& text);

// Brings an interval from an unchecked source (the settings file) into 1000..60000.
qint32 clampInterval(qint32 ms);
