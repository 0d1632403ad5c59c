#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

class FrameStore;

// Raised by every MediaEngine member that fails.
class EngineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Keys over the video that drive a DVD's menus.
enum class DvdNavigation { Up, Down, Left, Right, Activate };

// The media engine hosted as the main window's video area: playback of a one-item playlist,
// seeking, full screen, sound, and the snapshot action bound through setVariable().
class MediaEngine {
public:
    virtual ~MediaEngine() = default;

    // The disc becomes the playlist's only item, carrying options ("snapshot-path=…" and co.).
    // The target is a drive name or the absolute path of a disc image or disc folder, either
    // after "dvd://" or bare.
    virtual void addTarget(const QString& target, const QStringList& options, int mode,
                           int position) = 0;
    virtual void playlistClear() = 0;
    virtual int playlistCount() = 0;

    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    // Relative jump in the running title, in seconds.
    virtual void shuttle(int seconds) = 0;
    virtual void fullscreen() = 0;
    virtual void toggleMute() = 0;

    // True only while playing (not paused, stopped or idle).
    virtual bool playing() = 0;
    // True once the medium asked to play turned out not to be playable (no readable
    // DVD-Video); it may take a slow drive a long time to tell. Cleared by the next load or play.
    virtual bool failed() { return false; }
    // Fraction of the title: negative while nothing is loaded, 1.0 once its end was reached.
    virtual float position() = 0;
    virtual void setPosition(float position) = 0;
    // Elapsed time and total length of the title, in whole seconds.
    virtual int time() = 0;
    virtual int length() = 0;
    virtual int volume() = 0;
    virtual void setVolume(int volume) = 0;

    // "key-snapshot" binds the snapshot action to a key code; "key-pressed" with that code
    // takes one image of the current frame.
    virtual void setVariable(const QString& name, qint32 value) = 0;

    // The frames to paint in the video area; null for engines without video.
    virtual FrameStore* frameStore() { return nullptr; }
    virtual void navigate(DvdNavigation) {}
};
