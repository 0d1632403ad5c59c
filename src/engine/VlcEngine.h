#pragma once

#include "engine/DiscMap.h"
#include "engine/FrameStore.h"
#include "engine/MediaEngine.h"
#include "engine/PictureClock.h"
#include "engine/SnapshotSink.h"
#include "engine/TitleTracker.h"
#include "engine/VlcStart.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class DriveSource;
class FullScreenSurface;
class VlcVideoSink;

struct libvlc_instance_t;
struct libvlc_media_player_t;
struct libvlc_media_t;
struct libvlc_event_t;

// The media engine on libVLC 3: one instance, one media player and a playlist of one item.
//
// Opening: addTarget() resolves the drive through the DriveSource (a target naming the absolute
// path of a disc image or disc folder opens that path) and fails at once for an unknown drive or
// a drive without a medium. play() only starts libVLC, which opens the disc on
// its own threads however long the drive takes; until it reports playing, the engine is idle
// (position() negative). A medium that is not a readable DVD-Video makes failed() true.
//
// libVLC's events are queued by its threads and applied to the TitleTracker, in order, by
// the next call from the user-interface thread. End of title: libVLC's end of input, or the
// disc moving from the title to a menu or another title. From then on position() is 1.0 and
// time() equals length() until the next stop, load or play. While a menu plays before any title,
// position() and time() are 0 and length() is 0.
//
// Video arrives through a VlcVideoSink into the engine's FrameStore, which the video widgets
// paint. Snapshots: the options handed with each disc are read once into SnapshotOptions for
// the snapshot sink, and each press of the bound snapshot key hands the sink the frame on show.
// Full screen is shown on a FullScreenSurface.
//
// Frame steps while paused: forward shows the next picture libVLC decodes (or the next one kept
// after a step back), back goes through the FrameStore's history and, beyond it, seeks back and
// plays fast and silent to the frame before the oldest one kept, found by its pixels.
//
// Seeks (shuttle, position, chapter) land on the picture asked for: the DiscMap gives the group
// of pictures that holds it, and the engine pauses, seeks to that group's first sector, and
// plays on, hidden and silent, to the picture. The picture on show stays meanwhile. The time shown
// is then the PictureClock's, not libVLC's. A disc the map cannot read seeks as libVLC does.
class VlcEngine : public QObject, public MediaEngine {
    Q_OBJECT
public:
    // vlcArguments go to libvlc_new (tests pass "--aout=adummy", "--quiet").
    explicit VlcEngine(DriveSource* drives, const QStringList& vlcArguments = {},
                       QObject* parent = nullptr);
    // With libVLC started ahead (VlcStart): the engine owns the handles from here on.
    VlcEngine(DriveSource* drives, VlcHandles handles, QObject* parent = nullptr);
    ~VlcEngine() override;

    void addTarget(const QString& target, const QStringList& options, int mode,
                   int position) override;
    void playlistClear() override;
    int playlistCount() override;

    void play() override;
    void pause() override;
    void stop() override;
    void shuttle(int seconds) override;
    void fullscreen() override;
    void toggleMute() override;

    bool playing() override;
    bool failed() override;
    float position() override;
    void setPosition(float position) override;
    int time() override;
    int length() override;
    int volume() override;
    void setVolume(int volume) override;

    void setVariable(const QString& name, qint32 value) override;

    FrameStore* frameStore() override { return &frames_; }
    void navigate(DvdNavigation direction) override;

    void stepForward() override;
    void stepBackward() override;
    void keepRecentFrames() override;
    // A step back beyond the history is on its way (the engine seeks back and steps forward to
    // the frame before the oldest one kept).
    bool seekingBack() const { return search_.active; }
    // A seek is on its way to its picture.
    bool seeking() const { return seek_.active; }

    QList<TitleEntry> titles() override;
    int currentTitle() override;
    void setTitle(int title) override;
    QList<ChapterEntry> chapters() override;
    int currentChapter() override;
    void setChapter(int chapter) override;
    void nextChapter() override;
    void previousChapter() override;
    QList<TrackEntry> audioTracks() override;
    int audioTrack() override;
    void setAudioTrack(int id) override;
    QList<TrackEntry> subtitleTracks() override;
    int subtitleTrack() override;
    void setSubtitleTrack(int id) override;

    // Where snapshot requests go; none: the requests are dropped. The sink must outlive its
    // use here (set null before it goes).
    void setSnapshotSink(SnapshotSink* sink);
    // Where full screen is shown; none: fullscreen() fails. Likewise set null before it goes.
    void setFullScreenSurface(FullScreenSurface* surface);
    bool isFullScreen() const;
    bool isMuted() const { return muted_; }
    // Where the disc stands as of libVLC's events so far.
    TitleTracker::Phase phase();

    // addTarget's mode bit that starts playback at once (as "insert and go").
    static constexpr int kModeGo = 8;
    static constexpr int kDefaultVolume = 50;

private:
    struct Event {
        int type;
        int title;
    };

    static void onEvent(const libvlc_event_t* event, void* opaque);
    void queueEvent(const libvlc_event_t* event);
    void applyEvents();
    bool isMenuTitle(int title);
    qint64 titleDuration(int title);
    void loadTitleDescriptions();
    void requireTitle(const char* what);
    void stopPlayer();
    void releaseMedia();
    void applyVolume();
    void readFigures();
    void closeFullScreen();
    // Frame steps.
    bool readyToStep();
    qint64 frameMs() const;
    void moveShownTime(qint64 ms);
    void searchFrameArrived();
    void searchStalled();
    void endSearch();
    void requireLoaded(const char* what);
    void newTitleFigures();
    // Seeks to a picture.
    static qint64 nowMs() { return FrameStore::clockMs(); }
    qint64 shownTimeMs();
    void resumeClock();
    // How libVLC seeks where the disc's map has no answer.
    struct SeekBy {
        bool position = false; // by its position (else by its time)
        int chapter = -1;      // to this chapter's start
    };
    void seekTo(qint64 timeMs, SeekBy by);
    void seekTo(qint64 timeMs);
    void seekPointFound();
    void seekLikeLibVlc(qint64 timeMs, SeekBy by);
    qint64 pictureTimeMs(qint64 picture) const;
    void landAt(const DiscMap::SeekPoint& point);
    void seekFrameArrived();
    void seekTimedOut();
    void approach();
    void finishSeek(std::shared_ptr<const VideoFrame> shown, qint64 shownMs);
    void endSeek();
    std::optional<int> chapterAt(qint64 timeMs);

    DriveSource* drives_;
    libvlc_instance_t* vlc_ = nullptr;
    libvlc_media_player_t* player_ = nullptr;
    libvlc_media_t* media_ = nullptr;
    QString target_;

    FrameStore frames_;
    std::unique_ptr<VlcVideoSink> sink_;
    SnapshotSink* snapshots_ = nullptr;
    SnapshotOptions snapshotOptions_;
    qint32 snapshotKey_ = 0; // bound by "key-snapshot"; 0: none
    FullScreenSurface* fullScreen_ = nullptr;

    std::mutex eventsMutex_;
    std::vector<Event> events_; // raised by libVLC, not yet applied
    TitleTracker tracker_;
    // Menu flag and duration (ms) of each title of the disc, read when libVLC first names one.
    std::vector<std::pair<bool, qint64>> titles_;

    // A pause was asked for since the last play: libVLC may still say it plays.
    bool pauseAsked_ = false;
    int volume_ = kDefaultVolume;
    bool muted_ = false;
    // Last figures libVLC gave while it knew the title's length, in milliseconds.
    float lastPosition_ = 0;
    qint64 lastTime_ = 0;
    qint64 lastLength_ = 0;
    // The time of the picture on show after a seek or a step; unset: libVLC's time is shown.
    PictureClock clock_;
    qint64 driftSinceMs_ = -1; // since when libVLC's time is far from the clock's
    std::shared_ptr<DiscMap> discMap_;

    // A seek to a picture: looking up its group while pausing, landing on the group's first
    // picture, going on to the one asked for and, while paused, letting the pause settle.
    struct Seek {
        enum class Stage { Preparing, Landing, Approaching, Settling };
        bool active = false;
        Stage stage = Stage::Preparing;
        qint64 targetMs = 0;
        SeekBy by;
        bool resume = false;  // play on once there
        bool playing = false; // libVLC plays on to the picture asked for
        bool lookedUp = false;
        bool settled = false; // no picture on its way any more
        int pauseWaits = 0;
        std::optional<DiscMap::SeekPoint> point;
        quint64 landing = 0;                        // the serial of the group's first picture
        std::shared_ptr<const VideoFrame> lastSeen; // the picture that came last while landing
        quint64 echo = 0;                           // a picture that came again while landing
        qint64 framesToGo = 0;                      // after it
        std::shared_ptr<const VideoFrame> wanted;
        std::optional<qint64> next; // the next target, asked for while this seek was on its way
    } seek_;
    QTimer seekTimer_;
    QFutureWatcher<std::optional<DiscMap::SeekPoint>> seekLookup_;

    // A step back beyond the history: the oldest frame kept is looked for after a seek back.
    struct Search {
        bool active = false;
        std::shared_ptr<const VideoFrame> target; // the oldest frame kept when the step began
        qint64 shownTimeMs = 0;                   // that frame's time, as the label had it
        quint64 lastSerial = 0;                   // the newest frame looked at
        qint64 seen = 0;                          // frames looked at since the seek
        bool found = false;
        quint64 wanted = 0; // the frame to show once the pause has settled
        qint64 wantedTimeMs = 0;
    } search_;
    QTimer searchWatchdog_;
};
