#include "export/DiscReader.h"

#include "engine/DiscTables.h"

#include <cmath>
#include <cstring>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

namespace {

// A cell's playback time in pictures, counted at 25 or (for 29.97 pictures a second) 30 a
// second, as the disc counts them.
std::optional<int64_t> pictures(const dvd_time_t& time, bool ntsc) {
    const auto parsed = dvdTime(time);
    if (!parsed)
        return std::nullopt;
    const int perSecond = ntsc ? 30 : 25;
    return parsed->seconds * perSecond + std::min(parsed->pictures, perSecond - 1);
}

uint32_t bigEndian32(const unsigned char* bytes) {
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 |
           uint32_t(bytes[3]);
}

// The navigation pack's layout: pack header (14 bytes), system header (24), then the
// presentation control information as private stream 2, sub-stream 0.
constexpr int kPciStart = 45;
constexpr int kPciStartPtmOffset = 12;

} // namespace

DiscReader::DiscReader(std::unique_ptr<DvdHandles> handles) : handles_(std::move(handles)) {}

DiscReader::~DiscReader() = default;

std::unique_ptr<DiscReader> DiscReader::open(const QString& medium, QString* detail) {
    std::unique_ptr<DvdHandles> handles = DvdHandles::open(medium, detail);
    if (!handles)
        return nullptr;
    return std::unique_ptr<DiscReader>(new DiscReader(std::move(handles)));
}

TitleList DiscReader::titles() {
    TitleList list;
    const int count = handles_->manager()->tt_srpt->nr_of_srpts;
    for (int number = 1; number <= count; ++number) {
        QString detail;
        if (auto title = summary(number, &detail))
            list.titles.push_back(std::move(*title));
        else if (list.detail.isEmpty())
            list.detail = detail;
    }
    if (list.titles.empty())
        list.problem = TitleList::Problem::Unreadable;
    return list;
}

std::optional<TitleSummary> DiscReader::summary(int number, QString* detail) {
    const auto whole = plan(number, 1, 0, detail);
    if (!whole)
        return std::nullopt;
    TitleSummary title;
    title.number = number;
    title.lengthMs = whole->titleLengthMs;
    title.displaySize = whole->displaySize;
    title.frameRate = whole->frameRate;
    // Chapter starts: the plan of each chapter alone gives its first picture.
    for (int chapter = 1;; ++chapter) {
        QString ignored;
        const auto part = plan(number, chapter, chapter, &ignored);
        if (!part)
            break;
        title.chapterStarts.push_back(
            qint64(std::llround(part->firstFrame * 1000.0 / part->frameRate)));
    }
    if (title.chapterStarts.empty())
        title.chapterStarts.push_back(0);
    return title;
}

std::optional<TitlePlan> DiscReader::plan(int number, int firstChapter, int lastChapter,
                                          QString* detail) {
    auto fail = [&](const QString& why) {
        *detail = QStringLiteral("title %1: %2").arg(number).arg(why);
        return std::nullopt;
    };
    const tt_srpt_t* table = handles_->manager()->tt_srpt;
    if (number < 1 || number > table->nr_of_srpts)
        return fail(QStringLiteral("no such title"));
    const title_info_t& info = table->title[number - 1];
    ifo_handle_t* set = handles_->titleSet(info.title_set_nr);
    if (!set || !set->vtsi_mat || !set->vts_ptt_srpt || !set->vts_pgcit || !set->vts_vobu_admap)
        return fail(
            QStringLiteral("the tables of title set %1 cannot be read").arg(info.title_set_nr));
    if (info.vts_ttn < 1 || info.vts_ttn > set->vts_ptt_srpt->nr_of_srpts ||
        !set->vts_ptt_srpt->title)
        return fail(QStringLiteral("its entry in the title set is missing"));
    const ttu_t& parts = set->vts_ptt_srpt->title[info.vts_ttn - 1];
    if (parts.nr_of_ptts < 1 || !parts.ptt)
        return fail(QStringLiteral("it has no chapters"));
    if (lastChapter <= 0 || lastChapter > parts.nr_of_ptts)
        lastChapter = parts.nr_of_ptts;
    if (firstChapter < 1 || firstChapter > lastChapter)
        return fail(QStringLiteral("no chapter %1").arg(firstChapter));
    const int chain = parts.ptt[0].pgcn;
    for (int part = 1; part < parts.nr_of_ptts; ++part)
        if (parts.ptt[part].pgcn != chain)
            return fail(QStringLiteral("its chapters lie in several program chains"));
    if (chain < 1 || chain > set->vts_pgcit->nr_of_pgci_srp || !set->vts_pgcit->pgci_srp)
        return fail(QStringLiteral("its program chain is missing"));
    const pgc_t* pgc = set->vts_pgcit->pgci_srp[chain - 1].pgc;
    if (!pgc || pgc->nr_of_cells < 1 || !pgc->cell_playback || !pgc->program_map ||
        pgc->nr_of_programs < 1)
        return fail(QStringLiteral("its program chain is empty"));

    // The first cell of a chapter, from its program; 1-based, checked against the chain.
    auto chapterCell = [&](int chapter) -> int {
        const int program = parts.ptt[chapter - 1].pgn;
        if (program < 1 || program > pgc->nr_of_programs)
            return 0;
        const int cell = pgc->program_map[program - 1];
        return cell >= 1 && cell <= pgc->nr_of_cells ? cell : 0;
    };
    const int fromCell = chapterCell(firstChapter);
    const int toCell =
        lastChapter < parts.nr_of_ptts ? chapterCell(lastChapter + 1) - 1 : pgc->nr_of_cells;
    if (fromCell < 1 || toCell < fromCell)
        return fail(QStringLiteral("its chapters point outside its cells"));

    const video_attr_t& video = set->vtsi_mat->vts_video_attr;
    const bool ntsc = video.video_format == 0;
    TitlePlan plan;
    plan.title = number;
    plan.titleSet = info.title_set_nr;
    plan.frameRate = ntsc ? 30000.0 / 1001.0 : 25.0;
    plan.frameTicks = ntsc ? 3003 : 3600;
    const int height = ntsc ? 480 : 576;
    const double aspect = video.display_aspect_ratio == 3 ? 16.0 / 9.0 : 4.0 / 3.0;
    plan.displaySize = QSize(int(std::lround(height * aspect)), height);

    const vobu_admap_t* map = set->vts_vobu_admap;
    if (map->last_byte + 1 < VOBU_ADMAP_SIZE || !map->vobu_start_sectors)
        return fail(QStringLiteral("its address map is empty"));
    const uint32_t* mapBegin = map->vobu_start_sectors;
    const uint32_t* mapEnd = mapBegin + (map->last_byte + 1 - VOBU_ADMAP_SIZE) / 4;
    int64_t frame = 0;
    for (int c = 1; c <= pgc->nr_of_cells; ++c) {
        const cell_playback_t& playback = pgc->cell_playback[c - 1];
        // Of a block of camera angles only the first angle is shown.
        if (playback.block_type == BLOCK_TYPE_ANGLE_BLOCK &&
            playback.block_mode != BLOCK_MODE_FIRST_CELL)
            continue;
        const auto length = pictures(playback.playback_time, ntsc);
        if (!length || playback.last_sector < playback.first_sector)
            return fail(QStringLiteral("cell %1 has no valid time or sectors").arg(c));
        if (c >= fromCell - 1 && c <= toCell) {
            TitlePlan::Cell cell;
            cell.firstSector = playback.first_sector;
            cell.lastSector = playback.last_sector;
            cell.startFrame = frame;
            cell.frames = *length;
            const uint32_t* from = std::lower_bound(mapBegin, mapEnd, cell.firstSector);
            const uint32_t* to = std::upper_bound(from, mapEnd, cell.lastSector);
            cell.groups.assign(from, to);
            if (cell.groups.empty() || cell.groups.front() != cell.firstSector)
                return fail(QStringLiteral("cell %1 does not start a group of pictures").arg(c));
            cell.leadIn = c < fromCell;
            if (!cell.leadIn) {
                if (plan.frames == 0)
                    plan.firstFrame = frame;
                plan.frames += cell.frames;
            }
            plan.cells.push_back(std::move(cell));
        }
        frame += *length;
    }
    if (plan.frames <= 0)
        return fail(QStringLiteral("it has no pictures"));
    plan.titleLengthMs = qint64(std::llround(frame * 1000.0 / plan.frameRate));
    return plan;
}

int DiscReader::read(int titleSet, uint32_t sector, int count, unsigned char* out) {
    dvd_file_t* file = handles_->titleFiles(titleSet);
    if (!file || count <= 0)
        return 0;
    const ssize_t got = DVDReadBlocks(file, int(sector), size_t(count), out);
    if (got == count)
        return count;
    // Find how far it reads: sector by sector up to the first that does not.
    int done = 0;
    while (done < count &&
           DVDReadBlocks(file, int(sector) + done, 1, out + size_t(done) * DVD_VIDEO_LB_LEN) == 1)
        ++done;
    return done;
}

std::optional<int64_t> DiscReader::groupStartPts(int titleSet, uint32_t sector) {
    const auto key = std::make_pair(titleSet, sector);
    if (const auto found = groupPts_.find(key); found != groupPts_.end())
        return found->second;
    unsigned char block[DVD_VIDEO_LB_LEN];
    if (read(titleSet, sector, 1, block) != 1)
        return std::nullopt;
    static const unsigned char packStart[] = {0x00, 0x00, 0x01, 0xba};
    static const unsigned char pciStart[] = {0x00, 0x00, 0x01, 0xbf};
    if (std::memcmp(block, packStart, 4) != 0 || std::memcmp(block + kPciStart - 7, pciStart, 4) ||
        block[kPciStart - 1] != 0x00)
        return std::nullopt;
    const int64_t pts = bigEndian32(block + kPciStart + kPciStartPtmOffset);
    groupPts_.emplace(key, pts);
    return pts;
}

bool DiscReader::encrypted(const TitlePlan& plan) {
    // The scrambling bits of a video packet's header stay set unless a library decrypted it.
    constexpr int kPacks = 32;
    std::vector<unsigned char> blocks(size_t(kPacks) * DVD_VIDEO_LB_LEN);
    const TitlePlan::Cell& cell = plan.cells.front();
    const int count = int(std::min<uint32_t>(kPacks, cell.lastSector - cell.firstSector + 1));
    const int got = read(plan.titleSet, cell.firstSector, count, blocks.data());
    for (int i = 0; i < got; ++i) {
        const unsigned char* pack = blocks.data() + size_t(i) * DVD_VIDEO_LB_LEN;
        if (pack[0] == 0 && pack[1] == 0 && pack[2] == 1 && pack[3] == 0xba && pack[14] == 0 &&
            pack[15] == 0 && pack[16] == 1 && (pack[17] & 0xf0) == 0xe0)
            return (pack[20] & 0x30) != 0;
    }
    return false;
}
