#include "export/ExportWriter.h"

#include "capture/StillFiles.h"
#include "engine/YuvConverter.h"
#include "platform/ThreadPriority.h"

#include <cmath>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

namespace {

// The picture's size on screen: coded height, width from its pixels' aspect (720x576 at 16:15
// gives 768x576, at 64:45 1024x576), or the title set's size when the stream says nothing.
QSize shownSize(const AVFrame* frame, QSize fallback) {
    const AVRational aspect = frame->sample_aspect_ratio;
    if (aspect.num <= 0 || aspect.den <= 0)
        return fallback;
    const int width = int(std::lround(double(frame->width) * aspect.num / aspect.den));
    return width > 0 ? QSize(width, frame->height) : fallback;
}

QImage converted(const AVFrame* frame, QSize size) {
    if (frame->format != AV_PIX_FMT_YUV420P || size.isEmpty())
        return {};
    YuvPlanes planes;
    for (int i = 0; i < 3; ++i) {
        planes.data[i] = frame->data[i];
        planes.pitch[i] = frame->linesize[i];
    }
    planes.width = frame->width;
    planes.height = frame->height;
    QImage image(size, QImage::Format_RGB32);
    // One converter per thread: libswscale keeps its context for the last pair of sizes.
    thread_local YuvConverter converter;
    if (image.isNull() || !converter.convert(planes, image))
        return {};
    return image;
}

} // namespace

ExportWriter::ExportWriter(const ExportRequest& request, QSize displaySize, QSize thumbnailSize,
                           int thumbnails)
    : request_(request), displaySize_(displaySize), thumbnailSize_(thumbnailSize),
      thumbnails_(size_t(std::max(0, thumbnails))) {
    thread_ = std::thread([this] {
        platform::lowerCurrentThreadPriority();
        run();
    });
}

ExportWriter::~ExportWriter() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
    for (Job& job : queue_)
        av_frame_free(&job.frame);
}

bool ExportWriter::image(const AVFrame* frame) {
    return queue(frame, -1);
}

bool ExportWriter::thumbnail(const AVFrame* frame, int slot) {
    return queue(frame, slot);
}

bool ExportWriter::queue(const AVFrame* frame, int slot) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kQueued || failed_ || stopped_; });
    if (failed_ || stopped_)
        return false;
    AVFrame* copy = av_frame_clone(frame);
    if (!copy)
        return false;
    queue_.push_back(Job{copy, slot});
    changed_.notify_all();
    return true;
}

void ExportWriter::stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    for (Job& job : queue_)
        av_frame_free(&job.frame);
    queue_.clear();
    changed_.notify_all();
}

void ExportWriter::finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return (queue_.empty() && !busy_) || failed_; });
}

void ExportWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queue_.empty() || quit_; });
        if (queue_.empty())
            return;
        Job job = queue_.front();
        queue_.pop_front();
        busy_ = true;
        changed_.notify_all();
        lock.unlock();
        if (!failed())
            process(job);
        av_frame_free(&job.frame);
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

void ExportWriter::process(const Job& job) {
    if (job.slot >= 0) {
        QImage thumbnail = converted(job.frame, thumbnailSize_);
        std::lock_guard lock(mutex_);
        if (size_t(job.slot) < thumbnails_.size())
            thumbnails_[size_t(job.slot)] = std::move(thumbnail);
        return;
    }
    const QImage picture = converted(job.frame, shownSize(job.frame, displaySize_));
    if (picture.isNull()) {
        std::lock_guard lock(mutex_);
        failed_ = true;
        detail_ = QStringLiteral("a picture of the title could not be converted");
        reason_ = detail_;
        return;
    }
    store(picture, request_.prefix);
}

bool ExportWriter::store(const QImage& image, const QString& prefix) {
    QString error;
    const QByteArray bytes = StillFiles::encode(image, request_.format, &error);
    StillFiles::Written written;
    if (bytes.isEmpty())
        written = {false, {}, QStringLiteral("cannot encode the image: %1").arg(error), error};
    else
        written = StillFiles::write(request_.folder, prefix, request_.format, bytes, &nextNumber_);
    std::lock_guard lock(mutex_);
    if (!written.ok) {
        failed_ = true;
        detail_ = written.detail;
        reason_ = written.reason;
        changed_.notify_all();
        return false;
    }
    ++written_;
    return true;
}

bool ExportWriter::writeImage(const QImage& image, const QString& prefix) {
    finish();
    if (failed())
        return false;
    // The sheet has its own name, so its numbers start from 1 among its own files.
    const int kept = nextNumber_;
    nextNumber_ = 1;
    const bool ok = store(image, prefix);
    nextNumber_ = kept;
    return ok;
}

bool ExportWriter::failed() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

QString ExportWriter::failedReason() const {
    std::lock_guard lock(mutex_);
    return reason_;
}

QString ExportWriter::failedDetail() const {
    std::lock_guard lock(mutex_);
    return detail_;
}

std::vector<QImage> ExportWriter::takeThumbnails() {
    finish();
    std::lock_guard lock(mutex_);
    return std::move(thumbnails_);
}
