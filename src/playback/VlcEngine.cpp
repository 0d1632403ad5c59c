#include "playback/VlcEngine.h"

#include "capture/SnapshotWriter.h"
#include "playback/DriveSource.h"
#include "playback/VideoStage.h"

#include <QApplication>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>
#include <vlc/vlc.h>

namespace {

// libVLC logs a lot (hardware decoder probing alone gives ~200 errors per start): silent unless
// STILLBECK_VLC_LOG is 1 (warnings and errors) or 2 (everything).
int vlcLogThreshold() {
    static const int threshold = [] {
        const int wanted = qEnvironmentVariableIntValue("STILLBECK_VLC_LOG");
        if (wanted >= 2)
            return int(LIBVLC_DEBUG);
        if (wanted == 1)
            return int(LIBVLC_WARNING);
        return int(LIBVLC_ERROR) + 1;
    }();
    return threshold;
}

void logCallback(void*, int level, const libvlc_log_t* context, const char* format, va_list args) {
    if (level < vlcLogThreshold())
        return;
    const char* module = nullptr;
    const char* file = nullptr;
    unsigned line = 0;
    libvlc_log_get_context(context, &module, &file, &line);
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    std::fprintf(stderr, "vlc[%s] %s\n", module ? module : "?", text);
}

QString driveOfTarget(const QString& target) {
    static const QLatin1String scheme("dvd://");
    QString drive = target.trimmed();
    if (drive.startsWith(scheme, Qt::CaseInsensitive))
        drive.remove(0, scheme.size());
    return drive;
}

} // namespace

namespace {
constexpr int kFramesToAwaitAspect = 25;
} // namespace

// Receives libVLC's pictures on its video output thread and publishes them to the FrameStore.
struct VlcEngine::VideoSink {
    FrameStore* frames = nullptr;

    std::mutex mediaMutex;
    libvlc_media_t* media = nullptr; // retained; read for the sample aspect ratio
    std::atomic<bool> aspectKnown{false};

    // Video output thread only.
    int framesWithoutAspect = 0;
    unsigned width = 0;
    unsigned height = 0;
    QSize displaySize;
    QImage pending;

    void setMedia(libvlc_media_t* newMedia) {
        std::lock_guard lock(mediaMutex);
        if (media)
            libvlc_media_release(media);
        media = newMedia;
        if (media)
            libvlc_media_retain(media);
        aspectKnown = false;
    }

    // Display width from the sample aspect ratio of the media's video track: 720x576 at 16:15
    // (4:3 PAL) gives 768, at 64:45 (16:9) 1024. Until libVLC knows the ratio the coded size
    // stands.
    void updateDisplaySize() {
        displaySize = QSize(int(width), int(height));
        std::lock_guard lock(mediaMutex);
        if (!media)
            return;
        libvlc_media_track_t** tracks = nullptr;
        const unsigned count = libvlc_media_tracks_get(media, &tracks);
        for (unsigned i = 0; i < count; ++i) {
            const libvlc_media_track_t* track = tracks[i];
            if (track->i_type != libvlc_track_video || !track->video)
                continue;
            const unsigned num = track->video->i_sar_num;
            const unsigned den = track->video->i_sar_den;
            if (num == 0 || den == 0)
                continue;
            const int displayWidth = int(std::lround(double(width) * num / den));
            if (displayWidth > 0) {
                displaySize = QSize(displayWidth, int(height));
                aspectKnown = true;
            }
            break;
        }
        if (count)
            libvlc_media_tracks_release(tracks, count);
    }

    static unsigned format(void** opaque, char* chroma, unsigned* width, unsigned* height,
                           unsigned* pitches, unsigned* lines) {
        auto* self = static_cast<VideoSink*>(*opaque);
        std::memcpy(chroma, "RV32", 4);
        self->width = *width;
        self->height = *height;
        pitches[0] = *width * 4;
        lines[0] = *height;
        self->aspectKnown = false;
        self->framesWithoutAspect = 0;
        self->pending = QImage();
        return 1;
    }

    static void cleanup(void* opaque) { static_cast<VideoSink*>(opaque)->pending = QImage(); }

    // Each picture gets its own image: published frames are shared with painters and the
    // snapshot writer and must never change afterwards.
    static void* lock(void* opaque, void** planes) {
        auto* self = static_cast<VideoSink*>(opaque);
        if (self->pending.isNull())
            self->pending = QImage(int(self->width), int(self->height), QImage::Format_RGB32);
        planes[0] = self->pending.bits();
        return nullptr;
    }

    static void unlock(void*, void*, void* const*) {}

    // libVLC shows the same picture again while paused (about 15 times a second) and DVDs
    // repeat pictures in stills: a picture equal to the newest one is not published again, so
    // the newest frame keeps its serial and the snapshot writer encodes it once.
    static void display(void* opaque, void*) {
        auto* self = static_cast<VideoSink*>(opaque);
        if (self->pending.isNull())
            return;
        if (!self->aspectKnown) {
            self->updateDisplaySize();
            // libVLC learns the stream's aspect ratio shortly after the first pictures. They are
            // held back meanwhile, so that neither the screen nor a snapshot shows them at the
            // wrong width; a stream that never tells has square pixels.
            if (!self->aspectKnown && ++self->framesWithoutAspect <= kFramesToAwaitAspect)
                return;
        }
        const auto newest = self->frames->latest();
        if (newest && newest->displaySize == self->displaySize &&
            newest->image.size() == self->pending.size() &&
            newest->image.bytesPerLine() == self->pending.bytesPerLine() &&
            std::memcmp(newest->image.constBits(), self->pending.constBits(),
                        size_t(self->pending.sizeInBytes())) == 0)
            return; // the buffer is reused for the next picture
        self->frames->publish(std::move(self->pending), self->displaySize);
        self->pending = QImage();
    }
};

VlcEngine::VlcEngine(DriveSource* drives, const QStringList& vlcArguments, QObject* parent)
    : QObject(parent), drives_(drives), sink_(std::make_unique<VideoSink>()) {
    // The picture goes to our frames only: no title or volume text drawn into it, no decoding
    // on a graphics card whose pictures would have to be copied back anyway.
    QStringList arguments{QStringLiteral("--no-video-title-show"), QStringLiteral("--no-osd"),
                          QStringLiteral("--no-xlib"), QStringLiteral("--avcodec-hw=none"),
                          QStringLiteral("--no-snapshot-preview")};
    arguments += vlcArguments;
    std::vector<QByteArray> storage;
    std::vector<const char*> argv;
    for (const QString& argument : arguments)
        storage.push_back(argument.toUtf8());
    for (const QByteArray& argument : storage)
        argv.push_back(argument.constData());

    vlc_ = libvlc_new(int(argv.size()), argv.data());
    if (!vlc_)
        throw EngineError("libVLC cannot start");
    libvlc_log_set(vlc_, logCallback, nullptr);
    player_ = libvlc_media_player_new(vlc_);
    if (!player_) {
        libvlc_release(vlc_);
        throw EngineError("libVLC cannot create a media player");
    }

    sink_->frames = &frames_;
    libvlc_video_set_callbacks(player_, &VideoSink::lock, &VideoSink::unlock, &VideoSink::display,
                               sink_.get());
    libvlc_video_set_format_callbacks(player_, &VideoSink::format, &VideoSink::cleanup);

    libvlc_event_manager_t* events = libvlc_media_player_event_manager(player_);
    for (libvlc_event_type_t type : {libvlc_MediaPlayerPlaying, libvlc_MediaPlayerEndReached,
                                     libvlc_MediaPlayerEncounteredError, libvlc_MediaPlayerStopped,
                                     libvlc_MediaPlayerVout, libvlc_MediaPlayerESAdded})
        libvlc_event_attach(events, type, &VlcEngine::onEvent, this);

    writer_ = std::make_unique<SnapshotWriter>(&frames_);
    applyVolume();
}

VlcEngine::~VlcEngine() {
    leaveFullScreen();
    libvlc_media_player_stop(player_);
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(player_);
    for (libvlc_event_type_t type : {libvlc_MediaPlayerPlaying, libvlc_MediaPlayerEndReached,
                                     libvlc_MediaPlayerEncounteredError, libvlc_MediaPlayerStopped,
                                     libvlc_MediaPlayerVout, libvlc_MediaPlayerESAdded})
        libvlc_event_detach(events, type, &VlcEngine::onEvent, this);
    libvlc_media_player_release(player_);
    releaseMedia();
    libvlc_release(vlc_);
    writer_.reset(); // finishes the queued images
}

// Called on libVLC's threads: only the session state changes here.
void VlcEngine::onEvent(const libvlc_event_t* event, void* opaque) {
    static_cast<VlcEngine*>(opaque)->handleEvent(event->type);
}

void VlcEngine::handleEvent(int type) {
    switch (type) {
    case libvlc_MediaPlayerVout:
        sink_->aspectKnown = false;
        return;
    case libvlc_MediaPlayerESAdded:
        sink_->aspectKnown = false;
        // A new stream may come with a new audio output, which starts at libVLC's own volume.
        QMetaObject::invokeMethod(this, &VlcEngine::applyVolume, Qt::QueuedConnection);
        return;
    default:
        break;
    }
    std::lock_guard lock(stateMutex_);
    const Session before = session_;
    switch (type) {
    case libvlc_MediaPlayerPlaying:
        if (session_ == Session::Opening)
            session_ = Session::Started;
        break;
    case libvlc_MediaPlayerEndReached:
        if (session_ == Session::Started)
            session_ = Session::Ended;
        else if (session_ == Session::Opening)
            session_ = Session::Failed;
        break;
    case libvlc_MediaPlayerEncounteredError:
        if (session_ == Session::Opening || session_ == Session::Started)
            session_ = Session::Failed;
        break;
    case libvlc_MediaPlayerStopped:
        if (session_ == Session::Opening)
            session_ = Session::Failed;
        break;
    default:
        break;
    }
    if (session_ != before)
        stateChanged_.notify_all();
}

VlcEngine::Session VlcEngine::session() const {
    std::lock_guard lock(stateMutex_);
    return session_;
}

void VlcEngine::setSession(Session session) {
    std::lock_guard lock(stateMutex_);
    session_ = session;
    stateChanged_.notify_all();
}

void VlcEngine::stopPlayer() {
    // Synchronous: when it returns libVLC's input and decoder threads are gone.
    libvlc_media_player_stop(player_);
    setSession(Session::Idle);
    lastPosition_ = 0;
    lastTime_ = 0;
    lastLength_ = 0;
    frames_.clear();
}

void VlcEngine::releaseMedia() {
    sink_->setMedia(nullptr);
    if (media_) {
        libvlc_media_release(media_);
        media_ = nullptr;
    }
}

void VlcEngine::addTarget(const QString& target, const QStringList& options, int mode, int) {
    const QString drive = driveOfTarget(target);
    const QString path = drives_ ? drives_->mediaPath(drive) : QString();
    if (path.isEmpty())
        throw EngineError(
            QStringLiteral("no medium is known for \"%1\"").arg(target).toStdString());
    if (!QFileInfo::exists(path))
        throw EngineError(QStringLiteral("%1 is not readable").arg(path).toStdString());

    // The playlist holds one item: a new target replaces the old one.
    leaveFullScreen();
    stopPlayer();
    libvlc_media_player_set_media(player_, nullptr);
    releaseMedia();

    const QByteArray mrl = "dvd://" + QUrl::toPercentEncoding(path, "/:");
    media_ = libvlc_media_new_location(vlc_, mrl.constData());
    if (!media_)
        throw EngineError(QStringLiteral("libVLC rejects %1").arg(path).toStdString());
    libvlc_media_player_set_media(player_, media_);
    sink_->setMedia(media_);
    target_ = target;
    writer_->setOptions(SnapshotOptions::fromItemOptions(options));

    if (mode & kModeGo)
        play();
}

void VlcEngine::playlistClear() {
    leaveFullScreen();
    stopPlayer();
    libvlc_media_player_set_media(player_, nullptr);
    releaseMedia();
    target_.clear();
    writer_->setOptions(SnapshotOptions{});
}

int VlcEngine::playlistCount() {
    return media_ ? 1 : 0;
}

void VlcEngine::play() {
    if (!media_)
        throw EngineError("the playlist is empty");
    const Session current = session();
    const libvlc_state_t state = libvlc_media_player_get_state(player_);
    if (current == Session::Started && state == libvlc_Paused) {
        libvlc_media_player_set_pause(player_, 0);
        return;
    }
    if (current == Session::Started)
        return;

    // A finished or failed input must be stopped before libVLC starts the item again.
    stopPlayer();
    setSession(Session::Opening);
    sink_->aspectKnown = false;
    if (libvlc_media_player_play(player_) != 0) {
        stopPlayer();
        throw EngineError(QStringLiteral("libVLC cannot play %1").arg(target_).toStdString());
    }

    Session outcome;
    {
        std::unique_lock lock(stateMutex_);
        stateChanged_.wait_for(lock, std::chrono::milliseconds(openTimeoutMs_),
                               [this] { return session_ != Session::Opening; });
        outcome = session_;
    }
    if (outcome == Session::Started || outcome == Session::Ended) {
        applyVolume();
        return;
    }
    stopPlayer();
    if (outcome == Session::Opening)
        throw EngineError(
            QStringLiteral("%1 did not start playing in time").arg(target_).toStdString());
    throw EngineError(
        QStringLiteral("%1 is not a playable DVD-Video disc").arg(target_).toStdString());
}

void VlcEngine::pause() {
    if (!media_)
        throw EngineError("the playlist is empty");
    if (session() == Session::Started)
        libvlc_media_player_set_pause(player_, 1);
}

void VlcEngine::stop() {
    leaveFullScreen();
    stopPlayer();
}

void VlcEngine::requireTitle(const char* what) {
    const Session current = session();
    if (current == Session::Started)
        return;
    throw EngineError(std::string(what) + (current == Session::Ended ? ": the title has ended"
                                                                     : ": no title is playing"));
}

// Reads libVLC's figures, keeping the last ones while it reports no length (between titles, or
// for a moment while seeking).
void VlcEngine::readFigures() {
    const libvlc_time_t length = libvlc_media_player_get_length(player_);
    if (length <= 0)
        return;
    const float position = libvlc_media_player_get_position(player_);
    const libvlc_time_t time = libvlc_media_player_get_time(player_);
    lastLength_ = length;
    if (position >= 0)
        lastPosition_ = std::clamp(position, 0.0f, 1.0f);
    if (time >= 0)
        lastTime_ = std::min<qint64>(time, length);
}

void VlcEngine::shuttle(int seconds) {
    requireTitle("shuttle");
    readFigures();
    qint64 target = lastTime_ + qint64(seconds) * 1000;
    target = std::clamp<qint64>(target, 0, lastLength_ > 0 ? lastLength_ : target);
    libvlc_media_player_set_time(player_, target);
    lastTime_ = target;
    if (lastLength_ > 0)
        lastPosition_ = float(double(target) / double(lastLength_));
}

void VlcEngine::setPosition(float position) {
    requireTitle("seek");
    if (!std::isfinite(position))
        throw EngineError("seek: the position is not a number");
    position = std::clamp(position, 0.0f, 1.0f);
    libvlc_media_player_set_position(player_, position);
    lastPosition_ = position;
    lastTime_ = qint64(double(lastLength_) * position);
}

bool VlcEngine::playing() {
    return session() == Session::Started &&
           libvlc_media_player_get_state(player_) == libvlc_Playing;
}

float VlcEngine::position() {
    switch (session()) {
    case Session::Started:
        readFigures();
        return lastPosition_;
    case Session::Ended:
        return 1.0f;
    default:
        return -1.0f;
    }
}

int VlcEngine::time() {
    switch (session()) {
    case Session::Started:
        readFigures();
        return int(lastTime_ / 1000);
    case Session::Ended:
        return int(lastLength_ / 1000);
    default:
        return 0;
    }
}

int VlcEngine::length() {
    const Session current = session();
    if (current == Session::Started)
        readFigures();
    if (current == Session::Started || current == Session::Ended)
        return int(lastLength_ / 1000);
    return 0;
}

int VlcEngine::volume() {
    return volume_;
}

void VlcEngine::setVolume(int volume) {
    if (volume < 0 || volume > 200)
        throw EngineError(QStringLiteral("volume %1 is out of range").arg(volume).toStdString());
    volume_ = volume;
    applyVolume();
}

// libVLC keeps the volume and mute state in its audio output; they are set again whenever the
// output may be new and never read back (a dummy output reads 0).
void VlcEngine::applyVolume() {
    libvlc_audio_set_volume(player_, volume_);
    libvlc_audio_set_mute(player_, muted_ ? 1 : 0);
}

void VlcEngine::toggleMute() {
    muted_ = !muted_;
    libvlc_audio_set_mute(player_, muted_ ? 1 : 0);
}

void VlcEngine::setVariable(const QString& name, qint32 value) {
    if (!writer_->setVariable(name, value))
        throw EngineError(QStringLiteral("unknown variable %1").arg(name).toStdString());
}

void VlcEngine::navigate(DvdNavigation direction) {
    if (!media_)
        return;
    unsigned mode = libvlc_navigate_activate;
    switch (direction) {
    case DvdNavigation::Up:
        mode = libvlc_navigate_up;
        break;
    case DvdNavigation::Down:
        mode = libvlc_navigate_down;
        break;
    case DvdNavigation::Left:
        mode = libvlc_navigate_left;
        break;
    case DvdNavigation::Right:
        mode = libvlc_navigate_right;
        break;
    case DvdNavigation::Activate:
        mode = libvlc_navigate_activate;
        break;
    }
    libvlc_media_player_navigate(player_, mode);
}

bool VlcEngine::isFullScreen() const {
    return fullScreenStage_ && fullScreenStage_->isVisible();
}

void VlcEngine::fullscreen() {
    if (isFullScreen()) {
        leaveFullScreen();
        return;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        throw EngineError("full screen needs a widget application");
    auto* stage = new VideoStage;
    stage->setAttribute(Qt::WA_DeleteOnClose);
    stage->setWindowTitle(QCoreApplication::applicationName());
    stage->setEngine(this);
    fullScreenStage_ = stage;
    stage->showFullScreen();
    stage->activateWindow();
    stage->setFocus();
}

void VlcEngine::leaveFullScreen() {
    if (fullScreenStage_)
        fullScreenStage_->close();
    fullScreenStage_ = nullptr;
}
