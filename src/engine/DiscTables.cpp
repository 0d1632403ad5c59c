#include "engine/DiscTables.h"

#include "platform/Isolated.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdarg>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <mutex>

namespace {

// libdvdread reports to standard error unless given a logger; what it says (no CSS library, a
// table it could not read) is told by what the callers find, not by its words.
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

std::unique_ptr<DvdHandles> DvdHandles::open(const QString& medium, QString* detail) {
    // libdvdread leaks its reader when the path is not there at all.
    if (!QFileInfo::exists(medium)) {
        *detail = QStringLiteral("%1 does not exist").arg(medium);
        return nullptr;
    }
    if (!discTablesAreSafe(medium)) {
        *detail = QStringLiteral("the tables of %1 are damaged: reading them failed").arg(medium);
        return nullptr;
    }
    std::unique_ptr<DvdHandles> handles(new DvdHandles);
    const QByteArray path = QFile::encodeName(medium);
    handles->dvd_ = DVDOpen2(nullptr, &kQuietLogger, path.constData());
    if (!handles->dvd_) {
        *detail = QStringLiteral("%1 cannot be opened as a DVD-Video").arg(medium);
        return nullptr;
    }
    handles->manager_ = ifoOpen(handles->dvd_, 0);
    const ifo_handle_t* manager = handles->manager_;
    if (!manager || !manager->tt_srpt || !manager->tt_srpt->title ||
        manager->tt_srpt->nr_of_srpts == 0) {
        *detail = QStringLiteral("the title table of %1 cannot be read").arg(medium);
        return nullptr;
    }
    return handles;
}

DvdHandles::~DvdHandles() {
    for (auto& [number, file] : files_)
        if (file)
            DVDCloseFile(file);
    for (auto& [number, ifo] : sets_)
        if (ifo)
            ifoClose(ifo);
    if (manager_)
        ifoClose(manager_);
    if (dvd_)
        DVDClose(dvd_);
}

ifo_handle_t* DvdHandles::titleSet(int number) {
    auto found = sets_.find(number);
    if (found == sets_.end())
        found = sets_.emplace(number, ifoOpen(dvd_, number)).first;
    return found->second;
}

dvd_file_t* DvdHandles::titleFiles(int number) {
    auto found = files_.find(number);
    if (found == files_.end())
        found = files_.emplace(number, DVDOpenFile(dvd_, number, DVD_READ_TITLE_VOBS)).first;
    return found->second;
}

namespace {
int fromBcd(uint8_t value) {
    return (value >> 4) * 10 + (value & 0x0f);
}

bool validBcd(uint8_t value) {
    return (value >> 4) < 10 && (value & 0x0f) < 10;
}
} // namespace

std::optional<DvdTime> dvdTime(const dvd_time_t& time) {
    const uint8_t pictures = time.frame_u & 0x3f;
    if (!validBcd(time.hour) || !validBcd(time.minute) || !validBcd(time.second) ||
        !validBcd(pictures) || fromBcd(time.minute) > 59 || fromBcd(time.second) > 59)
        return std::nullopt;
    DvdTime parsed;
    parsed.seconds =
        int64_t(fromBcd(time.hour)) * 3600 + fromBcd(time.minute) * 60 + fromBcd(time.second);
    parsed.pictures = fromBcd(pictures);
    parsed.thirtyPerSecond = (time.frame_u >> 6) == 3;
    return parsed;
}
