#pragma once

#include <QStringList>
#include <thread>

struct libvlc_instance_t;
struct libvlc_media_player_t;

// libVLC's instance and media player, as the engine is made with them.
struct VlcHandles {
    libvlc_instance_t* vlc = nullptr;
    libvlc_media_player_t* player = nullptr;
};

// libVLC started on a thread of its own, so that its start (its plugin cache, the media player
// and its outputs: tens of milliseconds) runs beside the program's while the window is built.
// The engine takes the handles; what is not taken is released.
class VlcStart {
public:
    // vlcArguments go to libvlc_new after the engine's own (tests pass "--aout=adummy").
    explicit VlcStart(const QStringList& vlcArguments = {});
    ~VlcStart();
    VlcStart(const VlcStart&) = delete;
    VlcStart& operator=(const VlcStart&) = delete;

    // Waits for the start; the handles are then the caller's. Throws EngineError when libVLC
    // could not start, or when they were taken already.
    VlcHandles take();

private:
    void start(const QStringList& arguments);

    std::thread thread_;
    VlcHandles handles_;
    const char* failure_ = nullptr;
    bool taken_ = false;
};
