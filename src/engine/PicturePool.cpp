#include "engine/PicturePool.h"

#include <cstdlib>
#include <mutex>
#include <vector>

struct PicturePool::Buffer {
    void* data = nullptr;
    size_t bytes = 0;
    size_t alignment = 0;
    std::shared_ptr<Shared> pool; // set while an image holds the buffer

    ~Buffer() { std::free(data); }
};

struct PicturePool::Shared {
    std::mutex mutex;
    size_t bytes = 0; // of the buffers wanted now
    size_t alignment = 0;
    std::vector<Buffer*> idle;

    ~Shared() {
        for (Buffer* buffer : idle)
            delete buffer;
    }
};

PicturePool::PicturePool() : shared_(std::make_shared<Shared>()) {}

PicturePool::~PicturePool() = default;

QImage PicturePool::acquire(int width, int height, qsizetype pitch, int lines, size_t alignment) {
    if (width <= 0 || height <= 0 || pitch < qsizetype(width) * 4 || lines < height)
        return {};
    std::shared_ptr<uchar> buffer = acquireBuffer(size_t(pitch) * size_t(lines), alignment);
    if (!buffer)
        return {};
    // The image holds the buffer through a copy of the pointer, dropped with its last copy.
    uchar* bits = buffer.get();
    return QImage(
        bits, width, height, pitch, QImage::Format_RGB32,
        [](void* holder) { delete static_cast<std::shared_ptr<uchar>*>(holder); },
        new std::shared_ptr<uchar>(std::move(buffer)));
}

std::shared_ptr<uchar> PicturePool::acquireBuffer(size_t bytes, size_t alignment) {
    if (bytes == 0 || alignment == 0)
        return {};
    // aligned_alloc wants a size that is a multiple of the alignment.
    bytes = (bytes + alignment - 1) / alignment * alignment;
    Buffer* buffer = nullptr;
    std::vector<Buffer*> stale;
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->bytes != bytes || shared_->alignment != alignment) {
            shared_->bytes = bytes;
            shared_->alignment = alignment;
            stale.swap(shared_->idle);
        }
        if (!shared_->idle.empty()) {
            buffer = shared_->idle.back();
            shared_->idle.pop_back();
        }
    }
    for (Buffer* old : stale)
        delete old;
    if (!buffer) {
        void* data = std::aligned_alloc(alignment, bytes);
        if (!data)
            return {};
        buffer = new Buffer{data, bytes, alignment, nullptr};
    }
    buffer->pool = shared_;
    return std::shared_ptr<uchar>(static_cast<uchar*>(buffer->data),
                                  [buffer](uchar*) { PicturePool::release(buffer); });
}

// Called when the last user of the buffer lets go, on whichever thread that is.
void PicturePool::release(Buffer* buffer) {
    // The pool (and with it the idle buffers) may end here, after the lock below is gone.
    const std::shared_ptr<Shared> pool = std::move(buffer->pool);
    {
        std::lock_guard lock(pool->mutex);
        if (buffer->bytes == pool->bytes && buffer->alignment == pool->alignment &&
            pool->idle.size() < size_t(kKept) && pool.use_count() > 1) {
            pool->idle.push_back(buffer);
            return;
        }
    }
    delete buffer;
}
