#pragma once

#include "playback/FrameStore.h"
#include "playback/MediaEngine.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <condition_variable>
#include <memory>
#include <mutex>

class DriveSource;
class SnapshotWriter;
class VideoStage;

struct libvlc_instance_t;
struct libvlc_media_player_t;
struct libvlc_media_t;
struct libvlc_event_t;

// The media engine on libVLC 3: one instance, one media player and a playlist of one item.
//
// Opening: addTarget() resolves the drive through the DriveSource and fails at once for an
// unknown drive or a drive without a medium. libVLC opens the disc asynchronously, so play()
// waits (at most openTimeoutMs) until libVLC reports the title playing or failing, and throws
// EngineError when it fails or does not start in time: a medium that is not a readable
// DVD-Video ends in an exception from play(). A failure after that (a disc removed while it
// plays) makes the engine idle: position() negative, playing() false.
//
// End of title: libVLC's EndReached event. From then on position() is 1.0 and time() equals
// length() until the next stop, load or play. While libVLC changes titles or seeks it reports
// a length of 0 for a moment; the last figures of the title are kept meanwhile.
//
// Video arrives through libVLC's video callbacks as RV32 pictures and is published into the
// engine's FrameStore with its display size (coded height, width from the sample aspect ratio);
// it is painted by VideoStage widgets and written by the SnapshotWriter. libVLC calls back from
// its own threads, which only touch the FrameStore and the engine's event state, never widgets.
class VlcEngine : public QObject, public MediaEngine {
    Q_OBJECT
public:
    // vlcArguments go to libvlc_new (tests pass "--aout=adummy", "--quiet").
    explicit VlcEngine(DriveSource* drives, const QStringList& vlcArguments = {},
                       QObject* parent = nullptr);
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
    float position() override;
    void setPosition(float position) override;
    int time() override;
    int length() override;
    int volume() override;
    void setVolume(int volume) override;

    void setVariable(const QString& name, qint32 value) override;

    FrameStore* frameStore() override { return &frames_; }
    void navigate(DvdNavigation direction) override;

    SnapshotWriter* snapshotWriter() const override { return writer_.get(); }
    bool isFullScreen() const;
    bool isMuted() const { return muted_; }
    // How long play() waits for libVLC to start the title (default 10 s).
    void setOpenTimeout(int ms) { openTimeoutMs_ = ms; }

    // addTarget's mode bit that starts playback at once (as "insert and go").
    static constexpr int kModeGo = 8;
    static constexpr int kDefaultVolume = 50;

private:
    struct VideoSink;
    enum class Session { Idle, Opening, Started, Ended, Failed };

    static void onEvent(const libvlc_event_t* event, void* opaque);
    void handleEvent(int type);
    Session session() const;
    void setSession(Session session);
    void requireTitle(const char* what);
    void stopPlayer();
    void releaseMedia();
    void applyVolume();
    void readFigures();
    void leaveFullScreen();

    DriveSource* drives_;
    libvlc_instance_t* vlc_ = nullptr;
    libvlc_media_player_t* player_ = nullptr;
    libvlc_media_t* media_ = nullptr;
    QString target_;

    FrameStore frames_;
    std::unique_ptr<VideoSink> sink_;
    std::unique_ptr<SnapshotWriter> writer_;
    QPointer<VideoStage> fullScreenStage_;

    mutable std::mutex stateMutex_;
    std::condition_variable stateChanged_;
    Session session_ = Session::Idle;

    int volume_ = kDefaultVolume;
    bool muted_ = false;
    int openTimeoutMs_ = 10000;
    // Last figures libVLC gave while it knew the title's length, in milliseconds.
    float lastPosition_ = 0;
    qint64 lastTime_ = 0;
    qint64 lastLength_ = 0;
};
