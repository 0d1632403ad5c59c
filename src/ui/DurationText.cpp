#include "ui/DurationText.h"

#include "export/ContactSheet.h"

namespace {
QString twoDigits(qint64 value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}
} // namespace

QString timeLeftText(qint64 ms) {
    if (ms < 0)
        return QStringLiteral("-");
    const qint64 seconds = (ms + 999) / 1000;
    if (seconds < 3600)
        return QString::number(seconds / 60) + u':' + twoDigits(seconds % 60);
    return ContactSheet::timeCode(seconds * 1000);
}
