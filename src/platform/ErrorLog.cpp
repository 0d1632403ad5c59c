#include "platform/ErrorLog.h"

#include "platform/ProgramFolder.h"

#include <QDate>
#include <QFile>
#include <QTime>

#include <cmath>

namespace {

const QByteArray lineEnd = QByteArrayLiteral("\r\n");

// The locale's long time format without its time-zone field ("t"), and without the blanks that
// stood around it: the log holds the local time, which needs no zone name.
QString longTimeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        result += c;
    }
    return result.simplified();
}

// Unbuffered, so that a short write (full disk) shows in the count.
bool appendRecord(const QString& name, const QByteArray& record) {
    QFile file(platform::writableFile(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    return file.write(record) == record.size();
}

} // namespace

void WriteErrorLog(const QString& message) {
    // Date and time are two readings of the clock, taken in this order.
    const QLocale locale = QLocale::system();
    const QString date = locale.toString(QDate::currentDate(), QLocale::ShortFormat);
    const QString time = locale.toString(QTime::currentTime(), longTimeFormatWithoutZone(locale));
    const QString record = QStringLiteral("\"\r\nDate: ") + date + QStringLiteral("\",\"Time: ") +
                           time + QStringLiteral("\",\"") + message + u'"';
    appendRecord(QStringLiteral("errorlog.txt"), record.toLocal8Bit() + lineEnd);
}

QString layoutLogNumber(float value) {
    return layoutLogNumber(value, QLocale::system());
}

QString layoutLogNumber(float value, const QLocale& locale) {
    const double number = value;
    // ASCII digits and our own sign whatever the locale: only the decimal separator is local.
    QString digits = QString::number(std::fabs(number), 'g', 7);
    digits.replace(u'.', locale.decimalPoint());
    const bool negative = number < 0; // -0 prints as 0
    return (negative ? u'-' : u' ') + digits + u' ';
}

bool writeLayoutLog(float left, float top, float width, float height) {
    QByteArray record;
    for (float value : {left, top, width, height})
        record += layoutLogNumber(value).toLocal8Bit() + lineEnd;
    return appendRecord(QStringLiteral("logerror.txt"), record);
}
