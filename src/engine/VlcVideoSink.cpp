#include "engine/VlcVideoSink.h"

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
bool samePlane(const uchar* a, const uchar* b, int pitch, int rowBytes, int rows) {
    constexpr int kStride = 16;
    for (int first = 0; first < kStride; ++first)
        for (int y = first; y < rows; y += kStride)
            if (std::memcmp(a + qsizetype(y) * pitch, b + qsizetype(y) * pitch, size_t(rowBytes)))
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

std::shared_ptr<YuvPicture> VlcVideoSink::acquirePlanes() {
    const size_t lumaBytes = size_t(pitches_[0]) * lines_[0];
    const size_t chromaBytes = size_t(pitches_[1]) * lines_[1];
    auto planes = std::make_shared<YuvPicture>();
    // The plane sizes are multiples of the alignment, so each plane starts on a boundary.
    planes->buffer = planePool_.acquireBuffer(lumaBytes + 2 * chromaBytes, kAlignment);
    if (!planes->buffer)
        return {};
    uchar* base = planes->buffer.get();
    planes->view.data[0] = base;
    planes->view.data[1] = base + lumaBytes;
    planes->view.data[2] = base + lumaBytes + chromaBytes;
    for (int i = 0; i < 3; ++i)
        planes->view.pitch[i] = int(pitches_[i]);
    planes->view.width = int(width_);
    planes->view.height = int(height_);
    return planes;
}

bool VlcVideoSink::sameAsPublished() const {
    const auto newest = frames_->newest();
    if (!newest || newest->serial != publishedSerial_ || newest->displaySize != displaySize_ ||
        !published_)
        return false;
    const YuvPlanes& a = filling_->view;
    const YuvPlanes& b = published_->view;
    const int chromaWidth = (a.width + 1) / 2, chromaHeight = (a.height + 1) / 2;
    return samePlane(a.data[0], b.data[0], a.pitch[0], a.width, a.height) &&
           samePlane(a.data[1], b.data[1], a.pitch[1], chromaWidth, chromaHeight) &&
           samePlane(a.data[2], b.data[2], a.pitch[2], chromaWidth, chromaHeight);
}

unsigned VlcVideoSink::format(void** opaque, char* chroma, unsigned* width, unsigned* height,
                              unsigned* pitches, unsigned* lines) {
    auto* self = static_cast<VlcVideoSink*>(*opaque);
    // The decoder's own layout: libVLC converts nothing, and the sink converts once.
    std::memcpy(chroma, "I420", 4);
    self->width_ = *width;
    self->height_ = *height;
    // Whole macroblock rows, so that nothing libVLC copies runs past a plane's end.
    self->pitches_[0] = roundUp(*width, kAlignment);
    self->lines_[0] = roundUp(*height, 16);
    for (int i = 1; i < 3; ++i) {
        self->pitches_[i] = roundUp((*width + 1) / 2, kAlignment);
        self->lines_[i] = self->lines_[0] / 2;
    }
    for (int i = 0; i < 3; ++i) {
        pitches[i] = self->pitches_[i];
        lines[i] = self->lines_[i];
    }
    self->aspectKnown_ = false;
    self->framesWithoutAspect_ = 0;
    self->publishedSerial_ = 0;
    self->published_.reset();
    self->filling_ = self->acquirePlanes();
    self->spare_ = self->acquirePlanes();
    return self->filling_ && self->spare_ ? 1 : 0; // no video rather than a crash
}

void VlcVideoSink::cleanup(void* opaque) {
    auto* self = static_cast<VlcVideoSink*>(opaque);
    self->filling_.reset();
    self->spare_.reset();
    self->published_.reset();
    self->publishedSerial_ = 0;
}

// libVLC writes each picture into planes no published frame refers to: frames are shared with
// painters and snapshot requests, and never change afterwards.
void* VlcVideoSink::lock(void* opaque, void** planes) {
    auto* self = static_cast<VlcVideoSink*>(opaque);
    if (!self->filling_)
        self->filling_ = self->acquirePlanes();
    // Out of memory, libVLC still needs somewhere to write: the spare planes, never shown.
    const YuvPicture* target = self->filling_ ? self->filling_.get() : self->spare_.get();
    for (int i = 0; i < 3; ++i)
        planes[i] = const_cast<uchar*>(target->view.data[i]);
    return nullptr;
}

void VlcVideoSink::unlock(void*, void*, void* const*) {}

// libVLC shows the same picture again while paused (about 15 times a second) and DVDs repeat
// pictures in stills: a picture equal to the newest one is not published again, so the newest
// frame keeps its serial and a snapshot of it is encoded once.
void VlcVideoSink::display(void* opaque, void*) {
    auto* self = static_cast<VlcVideoSink*>(opaque);
    if (!self->filling_)
        return;
    if (!self->aspectKnown_) {
        self->updateDisplaySize();
        // Pictures are held back until the aspect ratio is known, so that neither the screen
        // nor a snapshot shows them at the wrong width; a stream that never tells has square
        // pixels.
        if (!self->aspectKnown_ && ++self->framesWithoutAspect_ <= kFramesToAwaitAspect)
            return;
    }
    if (self->sameAsPublished())
        return;
    QImage shown;
    qint64 shownCpuNs = 0;
    const QSize wanted = self->frames_->shownSize();
    if (!wanted.isEmpty() && wanted != QSize(int(self->width_), int(self->height_))) {
        shown =
            self->shownPool_.acquire(wanted.width(), wanted.height(), qsizetype(wanted.width()) * 4,
                                     wanted.height(), kAlignment);
        const qint64 cpuStart = platform::threadCpuNs();
        if (!shown.isNull() && !self->toShown_.convert(self->filling_->view, shown))
            shown = QImage();
        shownCpuNs = platform::threadCpuNs() - cpuStart;
    }
    self->published_ = std::move(self->filling_);
    self->frames_->publish(self->published_, self->displaySize_, std::move(shown), shownCpuNs);
    const auto newest = self->frames_->newest();
    self->publishedSerial_ = newest ? newest->serial : 0;
}
