#include "platform/TextFiles.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace TextFiles {
namespace {

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined map to the same code point,
// as Windows itself maps them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t cp1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t(byte);
}

// The length of the valid UTF-8 sequence at data[i] and its code point; 0 when there is none
// (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
int utf8Sequence(const unsigned char* data, qsizetype size, qsizetype i, char32_t* codePoint) {
    const unsigned char lead = data[i];
    int length;
    char32_t value;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (size - i < length)
        return 0;
    for (int k = 1; k < length; ++k) {
        const unsigned char next = data[i + k];
        if ((next & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *codePoint = value;
    return length;
}

} // namespace

bool isRegularFile(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
#else
    return QFileInfo(path).isFile();
#endif
}

ReadResult readRegularFile(const QString& path, qint64 maxBytes) {
    ReadResult result;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir()) {
        result.missing = true;
        return result;
    }
    if (!isRegularFile(path)) {
        result.errorDescription = QStringLiteral("Not a regular file");
        result.errorNumber = int(QFileDevice::OpenError);
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.errorDescription = file.errorString();
        result.errorNumber = int(file.error());
        return result;
    }
    // Read one byte beyond the limit, whatever size the file claims (files in /proc claim 0).
    result.bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.bytes.clear();
        result.errorDescription = file.errorString();
        result.errorNumber = int(file.error());
    } else if (result.bytes.size() > maxBytes) {
        result.bytes.clear();
        result.errorDescription = QStringLiteral("File larger than %1 bytes").arg(maxBytes);
        result.errorNumber = int(QFileDevice::ReadError);
    }
    return result;
}

QString decode(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    QString text;
    text.reserve(size);
    for (qsizetype i = 0; i < size;) {
        if (data[i] < 0x80) {
            text.append(QChar(char16_t(data[i])));
            ++i;
            continue;
        }
        char32_t codePoint = 0;
        if (const int length = utf8Sequence(data, size, i, &codePoint)) {
            // Appended by hand: Qt's UTF-32 conversion would drop a U+FEFF as a byte order mark.
            if (QChar::requiresSurrogates(codePoint)) {
                text.append(QChar(QChar::highSurrogate(codePoint)));
                text.append(QChar(QChar::lowSurrogate(codePoint)));
            } else {
                text.append(QChar(char16_t(codePoint)));
            }
            i += length;
        } else {
            text.append(QChar(cp1252(data[i])));
            ++i;
        }
    }
    return text;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size) {
        qsizetype end = start;
        while (end < size && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        lines.append(text.mid(start, end - start));
        if (end < size && text[end] == u'\r' && end + 1 < size && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

} // namespace TextFiles
