#pragma once

#include "engine/PicturePool.h"

#include <QImage>
#include <QSize>
#include <atomic>
#include <mutex>

class FrameStore;
struct libvlc_media_player_t;
struct libvlc_media_t;

// Receives libVLC's pictures (RV32) through its video callbacks, on libVLC's video output
// thread, and publishes them to a FrameStore with their display size (coded height, width from
// the sample aspect ratio). Picture buffers and their pitches are aligned to 32 bytes, as
// libVLC requires of the planes it is handed; they come from a PicturePool, so a buffer is
// filled again only once no published frame refers to it. A frame to be published is also
// scaled to the size the video area paints at (FrameStore::shownSize), here where libVLC has
// just written it.
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
    QImage newPicture();

    FrameStore* frames_;
    std::mutex mediaMutex_;
    libvlc_media_t* media_ = nullptr; // retained; read for the sample aspect ratio
    std::atomic<bool> aspectKnown_{false};

    // Video output thread only.
    int framesWithoutAspect_ = 0;
    unsigned width_ = 0;
    unsigned height_ = 0;
    unsigned pitch_ = 0;
    unsigned lines_ = 0;
    QSize displaySize_;
    PicturePool pool_;
    PicturePool shownPool_; // the frames as the video area shows them
    QImage pending_;
};
