#include "settings/SettingsFile.h"

#include "platform/ProgramFolder.h"
#include "platform/TextFiles.h"
#include "settings/LeadingNumber.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QLocale>
#include <QRegularExpression>
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

// A settings file is a few hundred bytes; anything near this size is not one.
constexpr qint64 maxFileBytes = 64 * 1024;

// Lines end at LF, and a CR before it belongs to the line end; a lone CR elsewhere is part of its
// line, so a text value holding one reads back as it was saved. A file without any LF has CR line
// ends. A final line needs no line end.
QStringList splitLines(const QString& text) {
    if (!text.contains(u'\n'))
        return TextFiles::splitLines(text);
    QStringList lines = text.split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

// QSaveFile writes into "<name>.XXXXXX" beside the file when the system offers no unnamed
// temporary files; a save that was killed leaves that file behind.
void removeLeftTemporaries(const QString& path) {
    const QFileInfo target(path);
    static const QRegularExpression tail(QStringLiteral("\\A\\.[A-Za-z0-9]{6}\\z"));
    const QDir folder = target.absoluteDir();
    const QString name = target.fileName();
    for (const QFileInfo& entry :
         folder.entryInfoList({name + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden)) {
        if (entry.isFile() && !entry.isSymLink() &&
            tail.match(entry.fileName().mid(name.size())).hasMatch())
            QFile::remove(entry.filePath());
    }
}

QByteArray numberLine(qint64 value, bool padded) {
    const QByteArray digits = QByteArray::number(value);
    return (padded ? ' ' + digits + ' ' : digits) + lineEnd;
}

QByteArray fileContent(const Settings& record, bool paddedNumbers) {
    return numberLine(record.imageFormat, paddedNumbers) + record.snapshotsPath.toUtf8() + lineEnd +
           record.snapshotPrefix.toUtf8() + lineEnd +
           numberLine(record.hideIntervalPrompt, paddedNumbers) +
           numberLine(record.snapshotInterval, paddedNumbers) + record.languageFile.toUtf8() +
           lineEnd;
}

// The file is either replaced as a whole or left as it was. Unbuffered, so that a short write
// (full disk, size limit) shows in the count instead of vanishing in a later flush.
bool replaceFile(const QString& path, const QByteArray& content) {
    // QSaveFile writes through a symbolic link to its target; a link to a device or a FIFO would
    // have that replaced, wherever it lies.
    const QFileInfo info(path);
    if (info.isSymLink() && info.exists() && !TextFiles::isRegularFile(path))
        return false;
    removeLeftTemporaries(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// Only an LF splits a line when the file is read back (see splitLines).
bool hasLineBreak(const QString& text) {
    return text.contains(u'\n');
}

} // namespace

QString path() {
    return platform::writableFile(QStringLiteral("Config.cfg"));
}

bool read(const QString& path, Settings& record) {
    const TextFiles::ReadResult file = TextFiles::readRegularFile(path, maxFileBytes);
    return file.ok() && parse(file.bytes, record);
}

QByteArray savedContent(const Settings& record) {
    return fileContent(record, true);
}

bool parse(const QByteArray& content, Settings& record) {
    QString text = TextFiles::decode(content);
    if (text.startsWith(QChar(0xFEFF))) // byte order mark left by some editors
        text.remove(0, 1);
    const QStringList lines = splitLines(text);
    if (lines.size() < lineCount)
        return false;

    Settings values;
    if (!readNumber(lines[0], values.imageFormat))
        return false;
    values.snapshotsPath = lines[1];
    values.snapshotPrefix = lines[2];
    if (!readNumber(lines[3], values.hideIntervalPrompt))
        return false;
    if (!readNumber(lines[4], values.snapshotInterval))
        return false;
    values.languageFile = lines[5];
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
