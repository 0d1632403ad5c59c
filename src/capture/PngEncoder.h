#pragma once

#include <QByteArray>
#include <QImage>

// A fast lossless PNG encoder for the snapshot writer.
//
// Every row uses the "Up" filter (each byte minus the byte above it) and the whole picture is
// compressed in one pass by ISA-L's igzip. On video frames this gives files about the size of
// zlib level 1 with adaptive filters at a fraction of the CPU time: choosing a filter per row
// costs more than it saves at such low levels, and "Up" needs no per-pixel branching.
//
// Opaque pictures are written as 8-bit RGB, pictures with an alpha channel as 8-bit RGBA; other
// formats are converted first. No ancillary chunks are written.
namespace PngEncoder {

// igzip's level (0 to 3). On 768x576 frames of the test disc level 1 took 1.0 ms and gave
// 171 KB, where zlib level 1 took 5.1 ms for 183 KB and libdeflate's levels 1 to 3 about 5 ms
// for 163-165 KB; igzip's level 3 costs three times as much for no smaller files.
inline constexpr int kDefaultLevel = 1;

// The PNG file of the image, or an empty array for a null image or one too big for one IDAT
// chunk (2 GiB of compressed data). Safe to call from several threads at once.
QByteArray encode(const QImage& image, int level = kDefaultLevel);

} // namespace PngEncoder
