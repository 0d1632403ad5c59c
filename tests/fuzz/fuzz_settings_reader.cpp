// Config.cfg and the number reader on arbitrary bytes: what is read saves and reads back the same.
#include "settings/LeadingNumber.h"
#include "settings/SettingsFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const double number = leadingNumber(QString::fromUtf8(bytes));
    const double rounded = roundHalfEven(number);
    if (std::isfinite(number) &&
        (std::fabs(rounded - number) > 0.5 || rounded != std::trunc(rounded)))
        std::abort();

    Settings record;
    if (!SettingsFile::parse(bytes, record))
        return 0;
    if (record.languageFile.trimmed().isEmpty())
        std::abort(); // the pack name falls back to English.ini
    const bool savable = !record.snapshotsPath.contains(u'\n') &&
                         !record.snapshotPrefix.contains(u'\n') &&
                         !record.languageFile.contains(u'\n');
    if (!savable)
        std::abort(); // a line of the file cannot hold a line feed
    Settings back;
    if (!SettingsFile::parse(SettingsFile::savedContent(record), back) || !(back == record))
        std::abort();
    return 0;
}
