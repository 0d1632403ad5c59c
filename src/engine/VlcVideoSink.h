#pragma once

#include "engine/PicturePool.h"
#include "engine/VideoFrame.h"

#include <QImage>
#include <QSize>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>

class FrameStore;
struct libvlc_media_player_t;
struct libvlc_media_t;

// Receives libVLC's pictures as the decoder gives them (I420) through its video callbacks, on
// libVLC's video output thread, and publishes them to a FrameStore as they are, with their
// display size (coded height, width from the sample aspect ratio). The planes and their pitches
// are aligned to 32 bytes, as libVLC requires of the planes it is handed. Each picture's planes
// come from a PicturePool, so a buffer is filled again only once no published frame refers to
// it. A frame to be published is also converted straight to the size the video area paints at
// (FrameStore::shownSize), if it asked for one: one pass from the planes, while they are still
// in the cache, and no RGB picture at the coded size unless something asks for it.
class VlcVideoSink {
public:
    static constexpr unsigned kAlignment = 32;

    explicit VlcVideoSink(FrameStore* frames) : frames_(frames) {}
    ~VlcVideoSink();
    VlcVideoSink(const VlcVideoSink&) = delete;
    VlcVideoSink& operator=(const VlcVideoSink&) = delete;

    // Installs the callbacks on the player.
    void attach(libvlc_media_player_t* player);
    // The media whose video track tells the sample aspect ratio; null forgets it.
    void setMedia(libvlc_media_t* media);
    // A new video output or stream may have another aspect ratio.
    void forgetAspect() { aspectKnown_ = false; }

    // libVLC's callbacks, public so that tests can drive them as libVLC does.
    static unsigned format(void** opaque, char* chroma, unsigned* width, unsigned* height,
                           unsigned* pitches, unsigned* lines);
    static void cleanup(void* opaque);
    static void* lock(void* opaque, void** planes);
    static void unlock(void* opaque, void* picture, void* const* planes);
    static void display(void* opaque, void* picture);

private:
    void updateDisplaySize();
    // A picture's planes over a buffer from the pool; null when out of memory.
    std::shared_ptr<YuvPicture> acquirePlanes();
    bool sameAsPublished() const;

    FrameStore* frames_;
    std::mutex mediaMutex_;
    libvlc_media_t* media_ = nullptr; // retained; read for the sample aspect ratio
    std::atomic<bool> aspectKnown_{false};

    // Video output thread only.
    int framesWithoutAspect_ = 0;
    unsigned width_ = 0;
    unsigned height_ = 0;
    unsigned pitches_[3] = {};
    unsigned lines_[3] = {};
    QSize displaySize_;
    PicturePool planePool_;
    PicturePool shownPool_; // the frames as the video area shows them
    YuvConverter toShown_;
    std::shared_ptr<YuvPicture> filling_;         // the planes libVLC writes next
    std::shared_ptr<const YuvPicture> published_; // the newest published picture's
    std::shared_ptr<YuvPicture> spare_; // written when no planes are free; never published
    quint64 publishedSerial_ = 0;
};
