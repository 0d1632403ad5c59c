#include "capture/PngEncoder.h"

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <QtEndian>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr unsigned char kFilterUp = 2;
constexpr int kMaxLevel = ISAL_DEF_MAX_LEVEL;

// igzip's working memory per level, as its header recommends.
constexpr size_t kLevelBufferSize[kMaxLevel + 1] = {ISAL_DEF_LVL0_DEFAULT, ISAL_DEF_LVL1_DEFAULT,
                                                    ISAL_DEF_LVL2_DEFAULT, ISAL_DEF_LVL3_DEFAULT};

// A buffer kept by each thread and grown as needed: the writer encodes one picture after the
// other, and fresh megabytes for each would be zeroed and faulted in every time.
struct ThreadBuffer {
    std::unique_ptr<unsigned char[]> data;
    size_t size = 0;

    unsigned char* atLeast(size_t bytes) {
        if (size < bytes) {
            data.reset(new (std::nothrow) unsigned char[bytes]);
            size = data ? bytes : 0;
        }
        return data.get();
    }
};

void putBigEndian32(unsigned char* out, quint32 value) {
    qToBigEndian(value, out);
}

// Writes length, type, data (already in place after the type) and CRC of one chunk starting at
// out; returns the chunk's total size.
size_t finishChunk(unsigned char* out, const char* type, size_t dataLength) {
    putBigEndian32(out, quint32(dataLength));
    std::memcpy(out + 4, type, 4);
    const quint32 crc = crc32_gzip_refl(0, out + 4, dataLength + 4);
    putBigEndian32(out + 8 + dataLength, crc);
    return 12 + dataLength;
}

// The four bytes of p minus those of q, each modulo 256, in one register.
constexpr quint32 byteWiseDifference(quint32 p, quint32 q) {
    constexpr quint32 high = 0x80808080u;
    return ((p | high) - (q & ~high)) ^ ((p ^ ~q) & high);
}

// The filtered scanlines: one filter byte, then each byte of the row minus the byte above it
// (the row above the first is zero). A pixel 0xAARRGGBB becomes the bytes R, G, B (and A):
// each is stored as four bytes and the next overwrites the fourth, so out needs one spare byte
// at its end.
template <bool Alpha> void filterUp(const QImage& image, unsigned char* out) {
    constexpr int channels = Alpha ? 4 : 3;
    const int width = image.width();
    const quint32* above = nullptr;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
        *out++ = kFilterUp;
        for (int x = 0; x < width; ++x) {
            const quint32 d = byteWiseDifference(row[x], above ? above[x] : 0);
            // Byte-swapped d is 0xBBGGRRAA; rotated, its bytes in memory (little end first)
            // are R, G, B, A.
            const quint32 bytes = qToLittleEndian(std::rotr(qbswap(d), 8));
            std::memcpy(out, &bytes, 4);
            out += channels;
        }
        above = row;
    }
}

} // namespace

QByteArray PngEncoder::encode(const QImage& source, int level) {
    if (source.isNull() || level < 0 || level > kMaxLevel)
        return {};
    const bool alpha = source.hasAlphaChannel();
    const QImage::Format format = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const QImage image = source.format() == format ? source : source.convertToFormat(format);
    if (image.isNull())
        return {};
    const int channels = alpha ? 4 : 3;
    const size_t rowBytes = 1 + size_t(image.width()) * size_t(channels);
    const size_t rawSize = rowBytes * size_t(image.height());
    // Stored blocks bound what igzip writes: at most 5 bytes per 64 KiB block beyond the input,
    // plus the zlib header and trailer.
    const size_t bound = rawSize + 5 * (rawSize / 65535 + 1) + 64;
    if (bound > size_t(std::numeric_limits<qint32>::max()))
        return {};

    thread_local ThreadBuffer rawBuffer, levelBuffer;
    unsigned char* raw = rawBuffer.atLeast(rawSize + 1);
    unsigned char* levelMemory = levelBuffer.atLeast(kLevelBufferSize[level] + 1);
    if (!raw || !levelMemory)
        return {};
    if (alpha)
        filterUp<true>(image, raw);
    else
        filterUp<false>(image, raw);

    constexpr size_t kIhdr = 12 + 13, kChunkOverhead = 12, kIend = 12;
    QByteArray file(qsizetype(sizeof kSignature + kIhdr + kChunkOverhead + bound + kIend),
                    Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(file.data());
    size_t at = 0;
    std::memcpy(out, kSignature, sizeof kSignature);
    at += sizeof kSignature;

    unsigned char* ihdr = out + at + 8;
    putBigEndian32(ihdr, quint32(image.width()));
    putBigEndian32(ihdr + 4, quint32(image.height()));
    ihdr[8] = 8;                        // bit depth
    ihdr[9] = alpha ? 6 : 2;            // colour type: RGBA or RGB
    ihdr[10] = ihdr[11] = ihdr[12] = 0; // deflate, adaptive filtering, no interlace
    at += finishChunk(out + at, "IHDR", 13);

    isal_zstream stream;
    isal_deflate_stateless_init(&stream);
    stream.level = quint32(level);
    stream.level_buf = levelMemory;
    stream.level_buf_size = quint32(kLevelBufferSize[level]);
    stream.gzip_flag = IGZIP_ZLIB;
    stream.flush = NO_FLUSH;
    stream.end_of_stream = 1;
    stream.next_in = raw;
    stream.avail_in = quint32(rawSize);
    stream.next_out = out + at + 8;
    stream.avail_out = quint32(bound);
    if (isal_deflate_stateless(&stream) != COMP_OK)
        return {};
    at += finishChunk(out + at, "IDAT", stream.total_out);
    at += finishChunk(out + at, "IEND", 0);
    file.truncate(qsizetype(at));
    return file;
}
