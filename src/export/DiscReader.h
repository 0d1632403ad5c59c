#pragma once

#include "export/ExportRequest.h"

#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class DvdHandles;

// The cells of a title's chapter range in program order, as the export reads them.
struct TitlePlan {
    struct Cell {
        uint32_t firstSector = 0; // in the title set's video files
        uint32_t lastSector = 0;
        int64_t startFrame = 0;       // its first picture, counted from the title's start
        int64_t frames = 0;           // its pictures
        std::vector<uint32_t> groups; // first sectors of its groups of pictures (VOBUs)
        // The cell before the range, read only for its last group: the range's first pictures
        // may lead an open group and be predicted from it.
        bool leadIn = false;
    };
    int title = 0;
    int titleSet = 0;
    double frameRate = 25;
    int frameTicks = 3600;   // one picture on the 90 kHz clock
    QSize displaySize;       // from the title set's video attributes
    std::vector<Cell> cells; // of the range, after the lead-in cell when there is one
    int64_t firstFrame = 0;  // of the range, in the title
    int64_t frames = 0;      // of the range
    qint64 titleLengthMs = 0;
};

// Reads a DVD-Video's structure and sectors with libdvdread: a drive's device, a disc image or a
// folder holding VIDEO_TS. Every count and index taken from the disc's tables is checked before
// it is used, so a damaged or hostile table gives an error, never a read out of bounds. Not
// thread-safe: one export uses one reader.
class DiscReader {
public:
    // Null when the medium cannot be opened as a DVD-Video; *detail says why.
    static std::unique_ptr<DiscReader> open(const QString& medium, QString* detail);
    ~DiscReader();
    DiscReader(const DiscReader&) = delete;
    DiscReader& operator=(const DiscReader&) = delete;

    TitleList titles();
    // The plan of chapters firstChapter to lastChapter (0: the last) of a title; nothing with
    // *detail set when the title's tables are unusable.
    std::optional<TitlePlan> plan(int title, int firstChapter, int lastChapter, QString* detail);

    // Reads count sectors of the title set's video files into out; the sectors read (fewer at
    // an unreadable one, 0 when the first cannot be read).
    int read(int titleSet, uint32_t sector, int count, unsigned char* out);
    // The presentation time (90 kHz) of the first picture of the group starting at sector, from
    // its navigation pack.
    std::optional<int64_t> groupStartPts(int titleSet, uint32_t sector);
    // True when the title's first packs carry scrambled video and no library decrypts them.
    bool encrypted(const TitlePlan& plan);

private:
    explicit DiscReader(std::unique_ptr<DvdHandles> handles);
    std::optional<TitleSummary> summary(int title, QString* detail);

    std::unique_ptr<DvdHandles> handles_;
    std::map<std::pair<int, uint32_t>, int64_t> groupPts_;
};
