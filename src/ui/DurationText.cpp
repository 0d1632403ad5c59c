#include "ui/DurationText.h"

namespace {
QString twoDigits(qint64 value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}
} // namespace

QString lengthText(qint64 ms) {
    const qint64 seconds = qMax<qint64>(0, ms) / 1000;
    return QString::number(seconds / 3600) + u':' + twoDigits(seconds / 60 % 60) + u':' +
           twoDigits(seconds % 60);
}

QString timeLeftText(qint64 ms) {
    if (ms < 0)
        return QStringLiteral("-");
    const qint64 seconds = (ms + 999) / 1000;
    if (seconds < 3600)
        return QString::number(seconds / 60) + u':' + twoDigits(seconds % 60);
    return lengthText(seconds * 1000);
}
