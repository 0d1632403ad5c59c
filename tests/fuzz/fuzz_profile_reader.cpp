// Language pack lookup on arbitrary bytes, and the UTF-8 / Windows-1252 reading beneath it.
#include "i18n/ProfileReader.h"
#include "platform/TextFiles.h"

#include <QStringDecoder>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // Valid UTF-8 reads as UTF-8; nothing reads as a replacement character it did not hold.
    const QString text = TextFiles::decode(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    const QString strict = utf8(bytes);
    if (!utf8.hasError() && text != strict)
        std::abort();
    if (text.contains(QChar(0xFFFD)) && !bytes.contains("\xEF\xBF\xBD"))
        std::abort();
    for (const QString& line : TextFiles::splitLines(text))
        if (line.contains(u'\n') || line.contains(u'\r'))
            std::abort();

    // The first line names the key, so inputs can reach values; the rest is the pack.
    const qsizetype end = bytes.indexOf('\n');
    const QString key = QString::fromUtf8(end < 0 ? bytes : bytes.left(end)).left(8);
    const QString value = ProfileReader::valueIn(bytes, QStringLiteral("Stillbeck Language Pack"),
                                                 key, QStringLiteral("default  "), 500);
    if (value.size() > 499)
        std::abort();
    return 0;
}
