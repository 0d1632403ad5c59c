#include "engine/VlcEngine.h"

#include "engine/VlcVideoSink.h"
#include "platform/DriveSource.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>
#include <vlc/vlc.h>

namespace {

// Playing, libVLC's time and the picture's stay closer than this (measured: within 0.55 s), once
// libVLC's time has caught up with a seek (it may keep the old time for a while).
constexpr qint64 kClockDriftMs = 2000;
constexpr qint64 kClockDriftForMs = 1500;

QString withoutDvdScheme(QString target) {
    static const QLatin1String scheme("dvd://");
    if (target.startsWith(scheme, Qt::CaseInsensitive))
        target.remove(0, scheme.size());
    return target;
}

// What a target opens: the absolute path of a disc image or disc folder is its own medium, taken
// as given (a folder name may end in a blank); a drive name is resolved by the drive source.
QString mediumOfTarget(const QString& target, DriveSource* drives) {
    const QString path = withoutDvdScheme(target);
    if (QDir::isAbsolutePath(path))
        return path;
    const QString drive = withoutDvdScheme(target.trimmed());
    return drives ? drives->mediaPath(drive) : QString();
}

} // namespace

namespace {
constexpr libvlc_event_type_t kEvents[] = {
    libvlc_MediaPlayerPlaying,     libvlc_MediaPlayerEndReached, libvlc_MediaPlayerEncounteredError,
    libvlc_MediaPlayerStopped,     libvlc_MediaPlayerVout,       libvlc_MediaPlayerESAdded,
    libvlc_MediaPlayerTitleChanged};
} // namespace

VlcEngine::VlcEngine(DriveSource* drives, const QStringList& vlcArguments, QObject* parent)
    : VlcEngine(drives, VlcStart(vlcArguments).take(), parent) {}

VlcEngine::VlcEngine(DriveSource* drives, VlcHandles handles, QObject* parent)
    : QObject(parent), drives_(drives), vlc_(handles.vlc), player_(handles.player),
      sink_(std::make_unique<VlcVideoSink>(&frames_)) {
    sink_->attach(player_);
    // A step back beyond the history looks at each frame as it comes.
    connect(&frames_, &FrameStore::frameArrived, this, &VlcEngine::searchFrameArrived,
            Qt::QueuedConnection);
    searchWatchdog_.setSingleShot(true);
    connect(&searchWatchdog_, &QTimer::timeout, this, &VlcEngine::searchStalled);
    // A seek follows the pictures too.
    connect(&frames_, &FrameStore::frameArrived, this, &VlcEngine::seekFrameArrived,
            Qt::QueuedConnection);
    seekTimer_.setSingleShot(true);
    connect(&seekTimer_, &QTimer::timeout, this, &VlcEngine::seekTimedOut);
    connect(&seekLookup_, &QFutureWatcherBase::finished, this, &VlcEngine::seekPointFound);

    libvlc_event_manager_t* events = libvlc_media_player_event_manager(player_);
    for (libvlc_event_type_t type : kEvents)
        libvlc_event_attach(events, type, &VlcEngine::onEvent, this);

    applyVolume();
}

VlcEngine::~VlcEngine() {
    closeFullScreen();
    // Waits for libVLC's threads, also while a slow disc is still opening.
    libvlc_media_player_stop(player_);
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(player_);
    for (libvlc_event_type_t type : kEvents)
        libvlc_event_detach(events, type, &VlcEngine::onEvent, this);
    libvlc_media_player_release(player_);
    releaseMedia();
    libvlc_release(vlc_);
}

void VlcEngine::stopPlayer() {
    // Synchronous: when it returns libVLC's input and decoder threads are gone, and the events
    // they raised belong to the playback that ends here.
    libvlc_media_player_stop(player_);
    endSearch();
    endSeek();
    clock_.clear();
    {
        std::lock_guard lock(eventsMutex_);
        events_.clear();
    }
    tracker_.reset();
    titles_.clear();
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
    const QString path = mediumOfTarget(target, drives_);
    if (path.isEmpty())
        throw EngineError(
            QStringLiteral("no medium is known for \"%1\"").arg(target).toStdString());
    if (!QFileInfo::exists(path))
        throw EngineError(QStringLiteral("%1 is not readable").arg(path).toStdString());

    // The playlist holds one item: a new target replaces the old one.
    closeFullScreen();
    stopPlayer();
    libvlc_media_player_set_media(player_, nullptr);
    releaseMedia();

    const QByteArray mrl = "dvd://" + QUrl::toPercentEncoding(path, "/:");
    media_ = libvlc_media_new_location(vlc_, mrl.constData());
    if (!media_)
        throw EngineError(QStringLiteral("libVLC rejects %1").arg(path).toStdString());
    libvlc_media_player_set_media(player_, media_);
    sink_->setMedia(media_);
    discMap_ = std::make_shared<DiscMap>(path);
    target_ = target;
    snapshotOptions_ = SnapshotOptions::fromItemOptions(options);
    if (snapshots_)
        snapshots_->setOptions(snapshotOptions_);

    if (mode & kModeGo)
        play();
}

void VlcEngine::playlistClear() {
    closeFullScreen();
    stopPlayer();
    libvlc_media_player_set_media(player_, nullptr);
    releaseMedia();
    discMap_.reset();
    target_.clear();
    snapshotOptions_ = SnapshotOptions{};
    if (snapshots_)
        snapshots_->setOptions(snapshotOptions_);
}

int VlcEngine::playlistCount() {
    return media_ ? 1 : 0;
}

void VlcEngine::play() {
    if (!media_)
        throw EngineError("the playlist is empty");
    applyEvents();
    const TitleTracker::Phase current = tracker_.phase();
    const libvlc_state_t state = libvlc_media_player_get_state(player_);
    if (current == TitleTracker::Phase::Opening)
        return;
    if (current == TitleTracker::Phase::Title || current == TitleTracker::Phase::Menu) {
        if (seek_.active) {
            seek_.resume = true;
            return;
        }
        pauseAsked_ = false;
        if (state == libvlc_Paused) {
            resumeClock();
            libvlc_media_player_set_pause(player_, 0);
        }
        return;
    }
    if (current == TitleTracker::Phase::Ended &&
        (state == libvlc_Playing || state == libvlc_Paused)) {
        // The disc moved on to a menu or the next title: that is what plays now.
        tracker_.playOn();
        lastPosition_ = 0;
        lastTime_ = 0;
        lastLength_ = 0;
        if (state == libvlc_Paused)
            libvlc_media_player_set_pause(player_, 0);
        return;
    }

    // A finished or failed input must be stopped before libVLC starts the item again. libVLC
    // opens the disc on its own threads; the events tell how it went.
    stopPlayer();
    pauseAsked_ = false;
    tracker_.open();
    sink_->forgetAspect();
    if (libvlc_media_player_play(player_) != 0) {
        stopPlayer();
        throw EngineError(QStringLiteral("libVLC cannot play %1").arg(target_).toStdString());
    }
}

void VlcEngine::pause() {
    if (!media_)
        throw EngineError("the playlist is empty");
    const TitleTracker::Phase current = phase();
    if (current != TitleTracker::Phase::Title && current != TitleTracker::Phase::Menu)
        return;
    pauseAsked_ = true;
    if (seek_.active) {
        seek_.resume = false;
        return;
    }
    clock_.stop(nowMs());
    libvlc_media_player_set_pause(player_, 1);
}

void VlcEngine::stop() {
    closeFullScreen();
    stopPlayer();
}

void VlcEngine::requireTitle(const char* what) {
    const TitleTracker::Phase current = phase();
    if (current == TitleTracker::Phase::Title)
        return;
    throw EngineError(std::string(what) + (current == TitleTracker::Phase::Ended
                                               ? ": the title has ended"
                                               : ": no title is playing"));
}

// Reads libVLC's figures, keeping the last ones while it reports no length (between titles, or
// for a moment while seeking).
void VlcEngine::readFigures() {
    const libvlc_time_t length = libvlc_media_player_get_length(player_);
    if (length <= 0)
        return;
    lastLength_ = length;
    // While a step back or a seek is on its way, the label keeps the picture on show.
    if (search_.active || seek_.active)
        return;
    const float position = libvlc_media_player_get_position(player_);
    const libvlc_time_t time = libvlc_media_player_get_time(player_);
    if (clock_.isSet()) {
        const bool running = libvlc_media_player_get_state(player_) == libvlc_Playing;
        if (clock_.running() && !running)
            clock_.stop(nowMs()); // the end of the title, or libVLC buffering
        const qint64 shown = clock_.time(nowMs());
        // Playing, libVLC's time stays within a group of pictures of the picture's; much
        // further off, the clock lost the picture (a drive that stalled) and libVLC's time is
        // the better guess.
        const bool drifting = clock_.running() && time >= 0 && time <= length &&
                              std::abs(shown - time) > kClockDriftMs;
        if (!drifting)
            driftSinceMs_ = -1;
        else if (driftSinceMs_ < 0)
            driftSinceMs_ = nowMs();
        if (drifting && nowMs() - driftSinceMs_ > kClockDriftForMs) {
            clock_.clear();
            driftSinceMs_ = -1;
        } else {
            // The title's end is libVLC's to tell (the clock may run on past its last picture).
            lastTime_ = std::clamp<qint64>(shown, 0, std::max<qint64>(0, length - frameMs()));
            lastPosition_ = float(double(lastTime_) / double(length));
            return;
        }
    }
    if (position >= 0)
        lastPosition_ = std::clamp(position, 0.0f, 1.0f);
    if (time >= 0)
        lastTime_ = std::min<qint64>(time, length);
}

void VlcEngine::shuttle(int seconds) {
    requireTitle("shuttle");
    const qint64 from = seek_.next ? *seek_.next : shownTimeMs();
    seekTo(from + qint64(seconds) * 1000);
}

void VlcEngine::setPosition(float position) {
    requireTitle("seek");
    if (!std::isfinite(position))
        throw EngineError("seek: the position is not a number");
    position = std::clamp(position, 0.0f, 1.0f);
    readFigures();
    if (lastLength_ <= 0) {
        endSearch();
        libvlc_media_player_set_position(player_, position);
        lastPosition_ = position;
        return;
    }
    seekTo(std::llround(double(lastLength_) * position), SeekBy{true, -1});
}

bool VlcEngine::playing() {
    const TitleTracker::Phase current = phase();
    // The fast play of a step back beyond the history is a pause to everyone else.
    // A seek's pause is not one either.
    if (seek_.active)
        return current == TitleTracker::Phase::Title && seek_.resume;
    return (current == TitleTracker::Phase::Title || current == TitleTracker::Phase::Menu) &&
           libvlc_media_player_get_state(player_) == libvlc_Playing && !search_.active;
}

bool VlcEngine::failed() {
    return phase() == TitleTracker::Phase::Failed;
}

float VlcEngine::position() {
    switch (phase()) {
    case TitleTracker::Phase::Title:
        readFigures();
        return lastPosition_;
    case TitleTracker::Phase::Menu:
        return 0.0f;
    case TitleTracker::Phase::Ended:
        return 1.0f;
    default:
        return -1.0f;
    }
}

int VlcEngine::time() {
    switch (phase()) {
    case TitleTracker::Phase::Title:
        readFigures();
        return int(lastTime_ / 1000);
    case TitleTracker::Phase::Ended:
        return int(lastLength_ / 1000);
    default:
        return 0;
    }
}

int VlcEngine::length() {
    switch (phase()) {
    case TitleTracker::Phase::Title:
        readFigures();
        return int(lastLength_ / 1000);
    case TitleTracker::Phase::Ended:
        return int(lastLength_ / 1000);
    default:
        return 0;
    }
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
