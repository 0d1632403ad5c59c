// The kernel's cdrom information text: only plain device names come out, each once.
#include "platform/posix/CdromDriveSource.h"

#include <QSet>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray info(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList names = CdromDriveSource::deviceNamesFromInfo(info);
    if (names.size() > 23) // D: to Z:
        std::abort();
    QSet<QString> seen;
    for (const QString& name : names) {
        if (name.isEmpty() || name.contains(u'/') || name == u"." || name == u".." ||
            seen.contains(name))
            std::abort();
        seen.insert(name);
    }
    return 0;
}
