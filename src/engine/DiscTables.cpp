#include "engine/DiscTables.h"

#include "platform/Isolated.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdarg>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <mutex>

namespace {

void quietLog(void*, dvd_logger_level_t, const char*, va_list) {}
const dvd_logger_cb kQuietLogger{quietLog};

// A hung drive is given this long before the tables count as unreadable.
constexpr int kProbeTimeoutMs = 30000;

// libdvdread looks for a decryption library the first time it opens anything; done once here, so
// that the copy of the process does not load libraries (the loader's lock may have been held by
// another thread when the copy was made).
void prepareLibdvdread() {
    static std::once_flag once;
    std::call_once(once, [] {
        const QByteArray folder = QFile::encodeName(QDir::tempPath());
        if (dvd_reader_t* dvd = DVDOpen2(nullptr, &kQuietLogger, folder.constData()))
            DVDClose(dvd);
    });
}

bool openEveryTable(const char* path) {
    dvd_reader_t* dvd = DVDOpen2(nullptr, &kQuietLogger, path);
    if (!dvd)
        return true;
    if (ifo_handle_t* manager = ifoOpen(dvd, 0)) {
        const int sets =
            manager->vmgi_mat ? std::min<int>(manager->vmgi_mat->vmg_nr_of_title_sets, 99) : 0;
        for (int set = 1; set <= sets; ++set)
            if (ifo_handle_t* tables = ifoOpen(dvd, set))
                ifoClose(tables);
        ifoClose(manager);
    }
    DVDClose(dvd);
    return true;
}

} // namespace

bool discTablesAreSafe(const QString& medium) {
    prepareLibdvdread();
    const QByteArray path = QFile::encodeName(medium);
    return platform::runIsolated([&path] { return openEveryTable(path.constData()); },
                                 kProbeTimeoutMs) == platform::IsolatedOutcome::Returned;
}
