#include "capture/PngEncoder.h"

#include <libdeflate.h>

#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr unsigned char kFilterUp = 2;
constexpr int kLevels = 13; // libdeflate's levels 0..12

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// Allocating a compressor costs more than compressing a small picture, so each thread keeps one
// per level.
libdeflate_compressor* compressorFor(int level) {
    thread_local std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressors[kLevels];
    auto& slot = compressors[level];
    if (!slot)
        slot.reset(libdeflate_alloc_compressor(level));
    return slot.get();
}

void putBigEndian32(unsigned char* out, quint32 value) {
    out[0] = uchar(value >> 24);
    out[1] = uchar(value >> 16);
    out[2] = uchar(value >> 8);
    out[3] = uchar(value);
}

// Writes length, type, data (already in place after the type) and CRC of one chunk starting at
// out; returns the chunk's total size.
size_t finishChunk(unsigned char* out, const char* type, size_t dataLength) {
    putBigEndian32(out, quint32(dataLength));
    std::memcpy(out + 4, type, 4);
    const quint32 crc = libdeflate_crc32(0, out + 4, dataLength + 4);
    putBigEndian32(out + 8 + dataLength, crc);
    return 12 + dataLength;
}

// The filtered scanlines: one filter byte, then each byte of the row minus the byte above it
// (the row above the first is zero). Works on whole pixels, so it needs no byte order.
template <bool Alpha> void filterUp(const QImage& image, unsigned char* out) {
    constexpr int channels = Alpha ? 4 : 3;
    const int width = image.width();
    const quint32* above = nullptr;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
        *out++ = kFilterUp;
        for (int x = 0; x < width; ++x) {
            const quint32 p = row[x];
            const quint32 q = above ? above[x] : 0;
            out[0] = uchar((p >> 16) - (q >> 16));
            out[1] = uchar((p >> 8) - (q >> 8));
            out[2] = uchar(p - q);
            if constexpr (Alpha)
                out[3] = uchar((p >> 24) - (q >> 24));
            out += channels;
        }
        above = row;
    }
}

} // namespace

QByteArray PngEncoder::encode(const QImage& source, int level) {
    if (source.isNull() || level < 0 || level >= kLevels)
        return {};
    const bool alpha = source.hasAlphaChannel();
    const QImage::Format format = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const QImage image = source.format() == format ? source : source.convertToFormat(format);
    if (image.isNull())
        return {};
    const int channels = alpha ? 4 : 3;
    const size_t rowBytes = 1 + size_t(image.width()) * size_t(channels);
    const size_t rawSize = rowBytes * size_t(image.height());

    std::vector<unsigned char> raw(rawSize);
    if (alpha)
        filterUp<true>(image, raw.data());
    else
        filterUp<false>(image, raw.data());

    libdeflate_compressor* compressor = compressorFor(level);
    if (!compressor)
        return {};
    const size_t bound = libdeflate_zlib_compress_bound(compressor, rawSize);
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

    const size_t compressed =
        libdeflate_zlib_compress(compressor, raw.data(), rawSize, out + at + 8, bound);
    if (compressed == 0 || compressed > size_t(std::numeric_limits<qint32>::max()))
        return {};
    at += finishChunk(out + at, "IDAT", compressed);
    at += finishChunk(out + at, "IEND", 0);
    file.truncate(qsizetype(at));
    return file;
}
