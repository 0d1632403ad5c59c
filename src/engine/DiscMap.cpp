#include "engine/DiscMap.h"

#include "engine/DiscTables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/nav_read.h>

namespace {

// A playback time in milliseconds (and its picture rate); nothing for one that is not a time.
std::optional<qint64> milliseconds(const dvd_time_t& time, double* frameRate = nullptr) {
    const auto parsed = dvdTime(time);
    if (!parsed)
        return std::nullopt;
    const double rate = parsed->thirtyPerSecond ? 30000.0 / 1001.0 : 25.0;
    if (frameRate)
        *frameRate = rate;
    return parsed->seconds * 1000 + qint64(std::lround(parsed->pictures * 1000.0 / rate));
}

} // namespace

DiscMap::DiscMap(QString medium) : medium_(std::move(medium)) {}

DiscMap::~DiscMap() = default;

bool DiscMap::open() {
    if (opened_)
        return reader_ != nullptr;
    opened_ = true;
    // A medium that cannot be read this way has no seek points; libVLC seeks as it does.
    QString ignored;
    reader_ = DvdHandles::open(medium_, &ignored);
    return reader_ != nullptr;
}

const DiscMap::Title& DiscMap::title(int number) {
    auto found = titles_.find(number);
    if (found == titles_.end())
        found = titles_.emplace(number, readTitle(number)).first;
    return found->second;
}

DiscMap::Title DiscMap::readTitle(int number) {
    Title title;
    if (!open())
        return title;
    const tt_srpt_t* titles = reader_->manager()->tt_srpt;
    if (number < 1 || number > titles->nr_of_srpts || !titles->title)
        return title;
    const title_info_t& info = titles->title[number - 1];
    ifo_handle_t* set = reader_->titleSet(info.title_set_nr);
    if (!set || !set->vts_ptt_srpt || !set->vts_pgcit || !set->vts_vobu_admap)
        return title;
    if (info.vts_ttn < 1 || info.vts_ttn > set->vts_ptt_srpt->nr_of_srpts)
        return title;
    const ttu_t& parts = set->vts_ptt_srpt->title[info.vts_ttn - 1];
    if (parts.nr_of_ptts < 1 || !parts.ptt)
        return title;
    const int chain = parts.ptt[0].pgcn;
    if (chain < 1 || chain > set->vts_pgcit->nr_of_pgci_srp)
        return title;
    // A title whose chapters lie in several program chains: libVLC's position spans one.
    for (int part = 1; part < parts.nr_of_ptts; ++part)
        if (parts.ptt[part].pgcn != chain)
            return title;
    const pgc_t* pgc = set->vts_pgcit->pgci_srp[chain - 1].pgc;
    if (!pgc || pgc->nr_of_cells < 1 || !pgc->cell_playback)
        return title;

    const vobu_admap_t* map = set->vts_vobu_admap;
    const uint32_t* mapBegin = map->vobu_start_sectors;
    const uint32_t* mapEnd = mapBegin + (map->last_byte + 1 - VOBU_ADMAP_SIZE) / 4;
    qint64 startMs = 0;
    for (int c = 0; c < pgc->nr_of_cells; ++c) {
        const cell_playback_t& playback = pgc->cell_playback[c];
        // The camera angles' cells share a span of time: libVLC counts their sectors otherwise.
        if (playback.block_type == BLOCK_TYPE_ANGLE_BLOCK)
            return Title{};
        const auto length = milliseconds(playback.playback_time, &title.frameRate);
        if (!length || playback.last_sector < playback.first_sector)
            return Title{};
        Cell cell;
        cell.firstSector = playback.first_sector;
        cell.lastSector = playback.last_sector;
        cell.startMs = startMs;
        cell.titleOffset = title.sectors;
        const uint32_t* from = std::lower_bound(mapBegin, mapEnd, cell.firstSector);
        const uint32_t* to = std::upper_bound(from, mapEnd, cell.lastSector);
        cell.groups.assign(from, to);
        if (cell.groups.empty() || cell.groups.front() != cell.firstSector)
            return Title{};
        title.sectors += cell.lastSector - cell.firstSector + 1;
        startMs += *length;
        title.cells.push_back(std::move(cell));
    }
    title.titleSet = info.title_set_nr;
    title.usable = title.sectors > 0;
    return title;
}

// The time of a group's first picture in its cell, from the navigation pack that starts it.
std::optional<qint64> DiscMap::groupTime(int titleSet, uint32_t sector) {
    const auto key = std::make_pair(titleSet, sector);
    if (const auto found = groupTimes_.find(key); found != groupTimes_.end())
        return found->second;
    dvd_file_t* file = reader_->titleFiles(titleSet);
    if (!file)
        return std::nullopt;
    unsigned char block[DVD_VIDEO_LB_LEN];
    if (DVDReadBlocks(file, int(sector), 1, block) != 1)
        return std::nullopt;
    // A pack header, then the data search information as private stream 2, sub-stream 1.
    static const unsigned char packStart[] = {0x00, 0x00, 0x01, 0xba};
    static const unsigned char dsiStart[] = {0x00, 0x00, 0x01, 0xbf};
    if (std::memcmp(block, packStart, 4) != 0 ||
        std::memcmp(block + DSI_START_BYTE - 7, dsiStart, 4) != 0 ||
        block[DSI_START_BYTE - 1] != 0x01)
        return std::nullopt;
    dsi_t dsi;
    navRead_DSI(&dsi, block + DSI_START_BYTE);
    const auto time = milliseconds(dsi.dsi_gi.c_eltm);
    if (time)
        groupTimes_.emplace(key, *time);
    return time;
}

std::optional<DiscMap::SeekPoint> DiscMap::seekPoint(int number, qint64 timeMs) {
    std::lock_guard lock(mutex_);
    const Title& found = title(number);
    if (!found.usable)
        return std::nullopt;
    timeMs = std::max<qint64>(0, timeMs);
    auto cell = std::upper_bound(found.cells.begin(), found.cells.end(), timeMs,
                                 [](qint64 ms, const Cell& c) { return ms < c.startMs; });
    if (cell != found.cells.begin())
        --cell;
    const qint64 inCell = timeMs - cell->startMs;

    // The last group whose first picture is at or before the time; the first starts the cell.
    size_t low = 0, high = cell->groups.size();
    qint64 lowTime = 0;
    while (high - low > 1) {
        const size_t middle = low + (high - low) / 2;
        const auto time = groupTime(found.titleSet, cell->groups[middle]);
        if (!time)
            return std::nullopt;
        if (*time <= inCell) {
            low = middle;
            lowTime = *time;
        } else {
            high = middle;
        }
    }
    const uint32_t offset = cell->titleOffset + (cell->groups[low] - cell->firstSector);
    SeekPoint point;
    // The middle of the sector: libVLC multiplies by the title's sectors and truncates.
    point.position = float((double(offset) + 0.5) / double(found.sectors));
    point.timeMs = cell->startMs + lowTime;
    point.frameRate = found.frameRate;
    point.last = &*cell == &found.cells.back() && low + 1 == cell->groups.size();
    return point;
}
