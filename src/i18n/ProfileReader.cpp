#include "i18n/ProfileReader.h"

#include <QFile>
#include <QFileInfo>
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

std::optional<QStringView> findValue(QStringView content, const QString& section,
                                     const QString& key) {
    if (content.startsWith(QChar(0xFEFF))) // byte order mark left by some editors
        content = content.sliced(1);
    bool inSection = false;
    for (QStringView line : content.tokenize(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        line = trimmedBlanks(line);
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
            return unquoted(trimmedBlanks(line.sliced(equals + 1)));
    }
    return std::nullopt;
}

Result failure(const QFile& file) {
    Result result;
    result.failed = true;
    result.errorDescription = file.errorString();
    result.errorNumber = int(file.error());
    return result;
}

} // namespace

Result readString(const QString& section, const QString& key, const QString& defaultText,
                  int bufferSize, const QString& path) {
    Result result;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir()) {
        result.text = fitted(withoutTrailingBlanks(defaultText), bufferSize);
        return result;
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(file);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failure(file);

    const QString content = QString::fromLocal8Bit(bytes);
    if (const auto value = findValue(content, section, key))
        result.text = fitted(*value, bufferSize);
    else
        result.text = fitted(withoutTrailingBlanks(defaultText), bufferSize);
    return result;
}

} // namespace ProfileReader
