#pragma once

#include <QString>
#include <cstdint>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_types.h>
#include <map>
#include <memory>
#include <optional>

// libdvdread (6.1) trusts the disc's tables too far: a hostile or damaged VIDEO_TS.IFO or title
// set table can make it free memory twice or read through a null pointer, and the process that
// asked dies. So before this program reads a medium's tables itself, they are read once in a copy
// of the process: true when libdvdread opened the disc and every title set's tables there and came
// back (whether or not it found them usable); false when it crashed or hung doing so. Reading the
// same files again is then as safe as reading them was in the copy. Takes a few milliseconds.
bool discTablesAreSafe(const QString& medium);

// A DVD-Video opened with libdvdread: its manager table read, each title set's tables and video
// files opened when first asked for, everything closed with it. What the seek map and the title
// export both read a disc through.
class DvdHandles {
public:
    // Null, with *detail saying why, when the medium is not there, its tables are not safe to
    // read (discTablesAreSafe), it is no DVD-Video or its title table is empty.
    static std::unique_ptr<DvdHandles> open(const QString& medium, QString* detail);
    ~DvdHandles();
    DvdHandles(const DvdHandles&) = delete;
    DvdHandles& operator=(const DvdHandles&) = delete;

    // Its title table holds at least one title.
    ifo_handle_t* manager() const { return manager_; }
    // Null when that title set's tables cannot be read.
    ifo_handle_t* titleSet(int number);
    // Null when that title set's video files cannot be opened.
    dvd_file_t* titleFiles(int number);

private:
    DvdHandles() = default;

    dvd_reader_t* dvd_ = nullptr;
    ifo_handle_t* manager_ = nullptr;
    std::map<int, ifo_handle_t*> sets_;
    std::map<int, dvd_file_t*> files_;
};

// A playback time of the disc's tables: BCD hours, minutes, seconds and pictures, the rate the
// pictures are counted at in the top bits of the pictures' byte.
struct DvdTime {
    int64_t seconds = 0;
    int pictures = 0;
    bool thirtyPerSecond = false; // 29.97 pictures a second, counted as 30
};
// Nothing for fields that are not a time.
std::optional<DvdTime> dvdTime(const dvd_time_t& time);
