#pragma once

#include <QImage>
#include <memory>

// Picture buffers for the video sink, used again once nothing refers to them any more.
//
// acquire() gives an image over a buffer of its own, acquireBuffer() the bare buffer; a buffer
// comes back to the pool when the last copy of that image or pointer (the frame store's, a
// painter's, a queued snapshot's) is destroyed, and only then can the pool hand it out again.
// So a published frame never changes, and playback does not allocate (and fault in) megabytes
// for every picture. Buffers of another size than the latest asked for are freed on their
// return. The pool may be destroyed while buffers from it live on; they are then freed with
// their last user. Thread-safe.
class PicturePool {
public:
    // Buffers kept for reuse; the video output rarely has more than three pictures in use.
    static constexpr int kKept = 4;

    PicturePool();
    ~PicturePool();
    PicturePool(const PicturePool&) = delete;
    PicturePool& operator=(const PicturePool&) = delete;

    // A Format_RGB32 image of width x height over a buffer of pitch x lines bytes at an
    // alignment-byte boundary (pitch >= width * 4, lines >= height); null if out of memory.
    QImage acquire(int width, int height, qsizetype pitch, int lines, size_t alignment);
    // A buffer of bytes (rounded up to the alignment) at an alignment-byte boundary; null if
    // out of memory.
    std::shared_ptr<uchar> acquireBuffer(size_t bytes, size_t alignment);

private:
    struct Shared;
    struct Buffer;
    static void release(Buffer* buffer);

    std::shared_ptr<Shared> shared_;
};
