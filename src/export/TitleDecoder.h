#pragma once

#include "export/DiscReader.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

struct AVCodecContext;
struct AVFilterContext;
struct AVFilterGraph;
struct AVFormatContext;
struct AVFrame;
struct AVIOContext;
struct AVPacket;

// Decodes the pictures of a title's chapter range straight from the disc's sectors, without
// playing them: the cells' sectors are read in program order and handed to libavformat's MPEG
// programme-stream demuxer, libavcodec decodes on every core and libavfilter's yadif
// deinterlaces interlaced pictures field by field, as playback does.
//
// Each picture comes with its number in the title, taken from its presentation time against
// the first picture of its cell, so numbers stay exact across a seek and across the jumps of
// the clock between cells. A sector that cannot be read is left out, counted and told once to
// onUnreadable; the decoder resynchronises on the next pack.
class TitleDecoder {
public:
    TitleDecoder(DiscReader& reader, TitlePlan plan);
    ~TitleDecoder();
    TitleDecoder(const TitleDecoder&) = delete;
    TitleDecoder& operator=(const TitleDecoder&) = delete;

    // Opens the stream at the range's start; false with *detail when it holds no MPEG video.
    bool open(QString* detail);
    // Reading goes on from the group of pictures whose first picture is the last one at or
    // before picture `index` of the title (clamped to the range), or from groupsBack groups
    // before it (an open group's leading pictures need the group before); what was decoded is
    // dropped.
    void seek(int64_t index, int groupsBack = 0);
    // The next picture in display order, or null at the end of the range (or when cancelled).
    // It stays valid until the next call. *index is its number in the title.
    AVFrame* next(int64_t* index);

    // Only pictures from `index` on are wanted (-1: all): pictures before the one before it that
    // no other picture is predicted from are not decoded.
    void want(int64_t index) { wanted_ = index; }
    // The number of the first picture of the group of pictures that holds picture `index`.
    int64_t groupStart(int64_t index);

    const TitlePlan& plan() const { return plan_; }
    uint64_t skippedSectors() const { return skipped_; }
    // Called once, with the first sector that could not be read.
    std::function<void(uint32_t sector)> onUnreadable;
    // Checked between packets: when set, next() returns null.
    const std::atomic<bool>* cancel = nullptr;

private:
    static int readPacket(void* opaque, uint8_t* buffer, int size);
    static int64_t seekStream(void* opaque, int64_t offset, int whence);
    int readSectors(uint8_t* buffer, int size);
    bool makeFilter(const AVFrame* frame);
    int cellAt(int64_t streamSector) const;
    struct Group {
        size_t cell = 0;
        size_t group = 0;
        int64_t firstIndex = 0;
    };
    Group locate(int64_t index);
    std::optional<int64_t> pictureIndex(int64_t pts);

    DiscReader& reader_;
    TitlePlan plan_;
    std::vector<int64_t> cellOffsets_; // first sector of each cell in the stream, and the total
    std::vector<std::optional<int64_t>> cellPts_;
    int64_t position_ = 0; // the stream's next sector
    uint64_t skipped_ = 0;

    AVIOContext* io_ = nullptr;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVFilterGraph* graph_ = nullptr;
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* decoded_ = nullptr;
    AVFrame* out_ = nullptr;
    int stream_ = -1;
    int filterWidth_ = 0, filterHeight_ = 0, filterFormat_ = -1;
    bool readEnd_ = false, decoderEnd_ = false, filterEnd_ = false;
    int64_t lastIndex_ = -1;
    int64_t wanted_ = -1;
    // The presentation times of the packets sent lately, with the cell each came from.
    std::deque<std::pair<int64_t, int>> ptsCells_;
};
