#include "engine/VlcVideoSink.h"

#include "engine/FrameScale.h"
#include "engine/FrameStore.h"
#include "platform/ThreadPriority.h"

#include <cmath>
#include <cstring>
#include <vlc/vlc.h>

namespace {
// libVLC learns the stream's aspect ratio shortly after the first pictures; that many are held
// back meanwhile.
constexpr int kFramesToAwaitAspect = 25;

constexpr unsigned roundUp(unsigned value, unsigned multiple) {
    return (value + multiple - 1) / multiple * multiple;
}

// Rows are compared spread over the picture first (every 16th, then those between), so that a
// new picture, which rarely differs in its first rows only, is told apart after a few rows;
// an equal one is still compared in full.
bool samePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return false;
    constexpr int kStride = 16;
    const size_t rowBytes = size_t(a.width()) * 4;
    for (int first = 0; first < kStride; ++first)
        for (int y = first; y < a.height(); y += kStride)
            if (std::memcmp(a.constScanLine(y), b.constScanLine(y), rowBytes) != 0)
                return false;
    return true;
}
} // namespace

VlcVideoSink::~VlcVideoSink() {
    setMedia(nullptr);
}

void VlcVideoSink::attach(libvlc_media_player_t* player) {
    libvlc_video_set_callbacks(player, &VlcVideoSink::lock, &VlcVideoSink::unlock,
                               &VlcVideoSink::display, this);
    libvlc_video_set_format_callbacks(player, &VlcVideoSink::format, &VlcVideoSink::cleanup);
}

void VlcVideoSink::setMedia(libvlc_media_t* media) {
    std::lock_guard lock(mediaMutex_);
    if (media_)
        libvlc_media_release(media_);
    media_ = media;
    if (media_)
        libvlc_media_retain(media_);
    aspectKnown_ = false;
}

// Display width from the sample aspect ratio of the media's video track: 720x576 at 16:15
// (4:3 PAL) gives 768, at 64:45 (16:9) 1024. Until libVLC knows the ratio the coded size stands.
void VlcVideoSink::updateDisplaySize() {
    displaySize_ = QSize(int(width_), int(height_));
    std::lock_guard lock(mediaMutex_);
    if (!media_)
        return;
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media_, &tracks);
    for (unsigned i = 0; i < count; ++i) {
        const libvlc_media_track_t* track = tracks[i];
        if (track->i_type != libvlc_track_video || !track->video)
            continue;
        if (track->video->i_frame_rate_num > 0 && track->video->i_frame_rate_den > 0)
            frames_->setFrameRate(double(track->video->i_frame_rate_num) /
                                  track->video->i_frame_rate_den);
        const unsigned num = track->video->i_sar_num;
        const unsigned den = track->video->i_sar_den;
        if (num == 0 || den == 0)
            continue;
        const int displayWidth = int(std::lround(double(width_) * num / den));
        if (displayWidth > 0) {
            displaySize_ = QSize(displayWidth, int(height_));
            aspectKnown_ = true;
        }
        break;
    }
    if (count)
        libvlc_media_tracks_release(tracks, count);
}

// A picture buffer of pitch x lines bytes at a 32-byte boundary, from the pool.
QImage VlcVideoSink::newPicture() {
    return pool_.acquire(int(width_), int(height_), qsizetype(pitch_), int(lines_), kAlignment);
}

unsigned VlcVideoSink::format(void** opaque, char* chroma, unsigned* width, unsigned* height,
                              unsigned* pitches, unsigned* lines) {
    auto* self = static_cast<VlcVideoSink*>(*opaque);
    std::memcpy(chroma, "RV32", 4);
    self->width_ = *width;
    self->height_ = *height;
    self->pitch_ = roundUp(*width * 4, kAlignment);
    // Whole macroblock rows, so that no converter writes past the buffer's end.
    self->lines_ = roundUp(*height, 16);
    pitches[0] = self->pitch_;
    lines[0] = self->lines_;
    self->aspectKnown_ = false;
    self->framesWithoutAspect_ = 0;
    self->pending_ = QImage();
    return 1;
}

void VlcVideoSink::cleanup(void* opaque) {
    static_cast<VlcVideoSink*>(opaque)->pending_ = QImage();
}

// Each picture gets a buffer no published frame holds: published frames are shared with painters
// and snapshot requests and must never change afterwards.
void* VlcVideoSink::lock(void* opaque, void** planes) {
    auto* self = static_cast<VlcVideoSink*>(opaque);
    if (self->pending_.isNull())
        self->pending_ = self->newPicture();
    planes[0] = self->pending_.isNull() ? nullptr : self->pending_.bits();
    return nullptr;
}

void VlcVideoSink::unlock(void*, void*, void* const*) {}

// libVLC shows the same picture again while paused (about 15 times a second) and DVDs repeat
// pictures in stills: a picture equal to the newest one is not published again, so the newest
// frame keeps its serial and a snapshot of it is encoded once.
void VlcVideoSink::display(void* opaque, void*) {
    auto* self = static_cast<VlcVideoSink*>(opaque);
    if (self->pending_.isNull())
        return;
    if (!self->aspectKnown_) {
        self->updateDisplaySize();
        // Pictures are held back until the aspect ratio is known, so that neither the screen
        // nor a snapshot shows them at the wrong width; a stream that never tells has square
        // pixels.
        if (!self->aspectKnown_ && ++self->framesWithoutAspect_ <= kFramesToAwaitAspect)
            return;
    }
    const auto newest = self->frames_->newest();
    if (newest && newest->displaySize == self->displaySize_ &&
        samePixels(newest->image, self->pending_))
        return; // the buffer is reused for the next picture
    QImage shown;
    qint64 shownCpuNs = 0;
    const QSize wanted = self->frames_->shownSize();
    if (!wanted.isEmpty() && wanted != self->pending_.size()) {
        shown =
            self->shownPool_.acquire(wanted.width(), wanted.height(), qsizetype(wanted.width()) * 4,
                                     wanted.height(), kAlignment);
        if (!shown.isNull()) {
            const qint64 cpuStart = platform::threadCpuNs();
            FrameScale::scaleInto(self->pending_, shown);
            shownCpuNs = platform::threadCpuNs() - cpuStart;
        }
    }
    self->frames_->publish(std::move(self->pending_), self->displaySize_, std::move(shown),
                           shownCpuNs);
    self->pending_ = QImage();
}
