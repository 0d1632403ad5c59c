#pragma once

#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class DvdHandles;

// Where each group of pictures (VOBU) of a DVD title starts, read from the disc itself through
// libdvdread: the title's cells from its program chain and, for each group, its sector from the
// title set's address map and the time of its first picture from its navigation pack. libVLC's
// own time seeks go through coarse maps and land up to a second off; a seek to the position of
// a group's first sector lands on that group's first picture exactly.
//
// Read lazily and cached; the navigation packs are found by a binary search, a dozen sectors
// read for a seek. A medium libdvdread cannot read, a damaged table or a title with camera
// angles gives no seek points (the engine then seeks as libVLC does). The engine asks from a
// worker thread, as reading a drive may take a while; callers take turns.
class DiscMap {
public:
    // The medium: a drive's device, a disc image or a folder holding VIDEO_TS.
    explicit DiscMap(QString medium);
    ~DiscMap();
    DiscMap(const DiscMap&) = delete;
    DiscMap& operator=(const DiscMap&) = delete;

    struct SeekPoint {
        float position = 0;    // libVLC's position in the title that lands on this group
        qint64 timeMs = 0;     // the time of the group's first picture in the title
        double frameRate = 25; // the title's pictures per second
        bool last = false;     // the title's last group
    };
    // The group of the title (numbered as libVLC and the disc's title table do, from 1) whose
    // first picture is the last one at or before timeMs.
    std::optional<SeekPoint> seekPoint(int title, qint64 timeMs);

private:
    struct Cell {
        uint32_t firstSector = 0;
        uint32_t lastSector = 0;
        qint64 startMs = 0;           // in the title
        uint32_t titleOffset = 0;     // sectors of the title's cells before this one
        std::vector<uint32_t> groups; // first sectors of its groups of pictures
    };
    struct Title {
        bool usable = false;
        int titleSet = 0;
        double frameRate = 25;
        uint32_t sectors = 0; // all cells
        std::vector<Cell> cells;
    };

    bool open();
    const Title& title(int number);
    Title readTitle(int number);
    std::optional<qint64> groupTime(int titleSet, uint32_t sector);

    std::mutex mutex_;
    QString medium_;
    bool opened_ = false;
    std::unique_ptr<DvdHandles> reader_;
    std::map<int, Title> titles_;
    std::map<std::pair<int, uint32_t>, qint64> groupTimes_; // (title set, sector) -> time in cell
};
