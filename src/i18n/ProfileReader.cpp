#include "i18n/ProfileReader.h"

#include "platform/TextFiles.h"

#include <QStringView>

#include <optional>

namespace ProfileReader {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView trimmedBlanks(QStringView text) {
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

QString withoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    return text.left(end);
}

QStringView unquoted(QStringView value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

// What fits into a buffer of bufferSize characters with its terminator; a surrogate pair is
// never split.
QString fitted(QStringView text, int bufferSize) {
    qsizetype limit = bufferSize > 0 ? bufferSize - 1 : 0;
    if (text.size() <= limit)
        return text.toString();
    if (limit > 0 && text[limit - 1].isHighSurrogate() && text[limit].isLowSurrogate())
        --limit;
    return text.first(limit).toString();
}

std::optional<QString> findValue(QStringView content, const QString& section, const QString& key) {
    if (content.startsWith(QChar(0xFEFF))) // byte order mark left by some editors
        content = content.sliced(1);
    bool inSection = false;
    const QStringList lines = TextFiles::splitLines(content.toString());
    for (const QString& text : lines) {
        QStringView line = trimmedBlanks(text);
        if (line.startsWith(u'[')) {
            QStringView name = line.sliced(1);
            const qsizetype close = name.lastIndexOf(u']');
            if (close >= 0)
                name = name.first(close);
            inSection = trimmedBlanks(name).compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        if (trimmedBlanks(line.first(equals)).compare(key, Qt::CaseInsensitive) == 0)
            return unquoted(trimmedBlanks(line.sliced(equals + 1))).toString();
    }
    return std::nullopt;
}

} // namespace

Result readString(const QString& section, const QString& key, const QString& defaultText,
                  int bufferSize, const QString& path) {
    return stringIn(TextFiles::readRegularFile(path, kMaxPackBytes), section, key, defaultText,
                    bufferSize);
}

Result stringIn(const TextFiles::ReadResult& file, const QString& section, const QString& key,
                const QString& defaultText, int bufferSize) {
    Result result;
    if (file.ok()) {
        result.text = valueIn(file.bytes, section, key, defaultText, bufferSize);
    } else {
        result.text = fitted(withoutTrailingBlanks(defaultText), bufferSize);
        result.failed = !file.missing;
        result.errorDescription = file.errorDescription;
        result.errorNumber = file.errorNumber;
    }
    return result;
}

QString valueIn(const QByteArray& content, const QString& section, const QString& key,
                const QString& defaultText, int bufferSize) {
    if (const auto value = findValue(TextFiles::decode(content), section, key))
        return fitted(*value, bufferSize);
    return fitted(withoutTrailingBlanks(defaultText), bufferSize);
}

} // namespace ProfileReader
