#include "player/TimeFormat.h"

namespace {
QString twoDigits(int value) {
    return value < 10 ? QStringLiteral("0") + QString::number(value) : QString::number(value);
}
} // namespace

QString FormatTime(int& seconds) {
    if (seconds < 0)
        seconds = 0;
    const int hours = seconds / 3600;
    seconds -= hours * 3600;
    const int minutes = seconds / 60;
    seconds -= minutes * 60;
    return twoDigits(hours) + QLatin1Char(':') + twoDigits(minutes) + QLatin1Char(':') +
           twoDigits(seconds);
}
