#pragma once

#include <QList>
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

// A title of the disc, a chapter of the current title, or an audio or subtitle track.
struct TitleEntry {
    int index = 0;
    qint64 lengthMs = 0;
    bool menu = false; // the first-play program or a menu
};
struct ChapterEntry {
    int index = 0;
    qint64 startMs = 0;
    qint64 lengthMs = 0;
};
struct TrackEntry {
    int id = 0;   // the engine's track id
    QString name; // as the disc names it, with its language where it gives one
};

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

    // Frame by frame while paused: the next or previous picture (stepping forward while playing
    // pauses). Throw EngineError when no title plays.
    virtual void stepForward() { throw EngineError("frame step: not supported"); }
    virtual void stepBackward() { throw EngineError("frame step: not supported"); }
    // Hands the snapshot sink the recent distinct frames (the last seconds), oldest first.
    virtual void keepRecentFrames() { throw EngineError("recent frames: not supported"); }

    // The disc's titles and the current title's chapters; choosing a title is not its end.
    virtual QList<TitleEntry> titles() { return {}; }
    virtual int currentTitle() { return -1; }
    virtual void setTitle(int) { throw EngineError("titles: not supported"); }
    virtual QList<ChapterEntry> chapters() { return {}; }
    virtual int currentChapter() { return -1; }
    virtual void setChapter(int) { throw EngineError("chapters: not supported"); }
    // Next / previous chapter of the current title.
    virtual void nextChapter() { throw EngineError("chapters: not supported"); }
    virtual void previousChapter() { throw EngineError("chapters: not supported"); }

    // Audio and subtitle tracks; kTrackOff switches subtitles off.
    static constexpr int kTrackOff = -1;
    virtual QList<TrackEntry> audioTracks() { return {}; }
    virtual int audioTrack() { return kTrackOff; }
    virtual void setAudioTrack(int) { throw EngineError("audio tracks: not supported"); }
    virtual QList<TrackEntry> subtitleTracks() { return {}; }
    virtual int subtitleTrack() { return kTrackOff; }
    virtual void setSubtitleTrack(int) { throw EngineError("subtitles: not supported"); }
};
