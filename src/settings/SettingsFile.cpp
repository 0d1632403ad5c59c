#include "settings/SettingsFile.h"

#include "platform/ProgramFolder.h"
#include "settings/LeadingNumber.h"

#include <QFile>
#include <QList>
#include <QLocale>
#include <QSaveFile>

#include <cmath>
#include <limits>

namespace SettingsFile {
namespace {

constexpr int lineCount = 6;
const QByteArray lineEnd = QByteArrayLiteral("\r\n");

template <typename T> bool readNumber(const QString& line, T& target) {
    const double value = roundHalfEven(leadingNumber(line));
    if (!(value >= double(std::numeric_limits<T>::min()) &&
          value <= double(std::numeric_limits<T>::max())))
        return false;
    target = T(value);
    return true;
}

// Lines end at LF, a CR before it belongs to the line end; a final line needs no line end.
QList<QByteArray> splitLines(const QByteArray& data) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        QByteArray line = data.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        start = end + 1;
    }
    return lines;
}

QByteArray numberLine(qint64 value, bool padded) {
    const QByteArray digits = QByteArray::number(value);
    return (padded ? ' ' + digits + ' ' : digits) + lineEnd;
}

QByteArray fileContent(const Settings& record, bool paddedNumbers) {
    return numberLine(record.imageFormat, paddedNumbers) + record.snapshotsPath.toLocal8Bit() +
           lineEnd + record.snapshotPrefix.toLocal8Bit() + lineEnd +
           numberLine(record.hideIntervalPrompt, paddedNumbers) +
           numberLine(record.snapshotInterval, paddedNumbers) + record.languageFile.toLocal8Bit() +
           lineEnd;
}

// The file is either replaced as a whole or left as it was. Unbuffered, so that a short write
// (full disk, size limit) shows in the count instead of vanishing in a later flush.
bool replaceFile(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool hasLineBreak(const QString& text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

} // namespace

QString path() {
    return platform::writableFile(QStringLiteral("Config.cfg"));
}

bool read(const QString& path, Settings& record) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    file.close();

    const QList<QByteArray> lines = splitLines(data);
    if (lines.size() < lineCount)
        return false;

    Settings values;
    if (!readNumber(QString::fromLocal8Bit(lines[0]), values.imageFormat))
        return false;
    values.snapshotsPath = QString::fromLocal8Bit(lines[1]);
    values.snapshotPrefix = QString::fromLocal8Bit(lines[2]);
    if (!readNumber(QString::fromLocal8Bit(lines[3]), values.hideIntervalPrompt))
        return false;
    if (!readNumber(QString::fromLocal8Bit(lines[4]), values.snapshotInterval))
        return false;
    values.languageFile = QString::fromLocal8Bit(lines[5]);
    if (values.languageFile.trimmed().isEmpty())
        values.languageFile = QStringLiteral("English.ini");

    record = values;
    return true;
}

bool recover(const QString& path, Settings& record) {
    record = Settings::defaults();
    return replaceFile(path, fileContent(record, false));
}

bool write(const QString& path, const Settings& record) {
    if (hasLineBreak(record.snapshotsPath) || hasLineBreak(record.snapshotPrefix) ||
        hasLineBreak(record.languageFile))
        return false;
    return replaceFile(path, fileContent(record, true));
}

} // namespace SettingsFile
