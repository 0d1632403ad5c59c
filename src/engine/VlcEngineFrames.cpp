// Frame by frame: steps forward decode the next picture, steps back go through the frames the
// store keeps and, beyond them, seek back and step forward to the picture before the oldest.
#include "engine/VlcEngine.h"

#include "engine/SnapshotSink.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vlc/vlc.h>

namespace {
// libVLC lands a time seek up to about 1.5 s after the time asked for (DVD seeks go to the
// start of a group of pictures through the disc's time maps); seeking this much further back
// than the history reaches makes the landing fall before the frame looked for.
constexpr qint64 kSeekMarginMs = 3000;
// The way back to the frame is played this fast, without sound: stepping frame by frame after
// a seek makes libVLC wait a long time for some pictures, while playing shows them all at once.
constexpr float kSearchRate = 8.0f;
// The search gives up after this long.
constexpr int kSearchTimeoutMs = 10000;
// After the pause, pictures still on their way arrive for a moment; the one to show is chosen
// once none came for this long.
constexpr int kSettleMs = 150;

// Decoding is deterministic, so the frame looked for comes again bit for bit; a tiny mean
// difference is allowed for a deinterlacer that saw other neighbouring fields.
bool sameFrame(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull())
        return false;
    const int rowBytes = a.width() * 4;
    qint64 difference = 0;
    for (int y = 0; y < a.height(); y += 3) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        if (std::memcmp(p, q, size_t(rowBytes)) == 0)
            continue;
        for (int x = 0; x < rowBytes; ++x)
            difference += std::abs(int(p[x]) - int(q[x]));
    }
    const qint64 samples = qint64(rowBytes) * ((a.height() + 2) / 3);
    return double(difference) / double(samples) < 0.5;
}
} // namespace

qint64 VlcEngine::frameMs() const {
    const double rate = frames_.frameRate();
    return rate > 0 ? qint64(std::lround(1000.0 / rate)) : 40;
}

// The label follows the steps, from the picture's time where a seek or an earlier step set it,
// else from libVLC's.
void VlcEngine::moveShownTime(qint64 ms) {
    if (!clock_.isSet())
        clock_.set(std::max<qint64>(0, libvlc_media_player_get_time(player_)), false, nowMs());
    clock_.move(ms);
}

// A step needs a title that is paused and no step back on its way; one while playing pauses.
bool VlcEngine::readyToStep() {
    requireTitle("frame step");
    if (search_.active || seek_.active)
        return false;
    if (libvlc_media_player_get_state(player_) == libvlc_Playing) {
        pause();
        return false;
    }
    return true;
}

void VlcEngine::stepForward() {
    if (!readyToStep())
        return;
    moveShownTime(frameMs());
    if (!frames_.stepForward())
        libvlc_media_player_next_frame(player_);
}

void VlcEngine::stepBackward() {
    if (!readyToStep())
        return;
    if (frames_.stepBack()) {
        moveShownTime(-frameMs());
        return;
    }
    const auto history = frames_.history();
    if (history.empty())
        return;
    readFigures();
    const qint64 vlcTime = std::max<qint64>(0, libvlc_media_player_get_time(player_));
    const qint64 reach = qint64(history.size()) * frameMs() + kSeekMarginMs;
    search_ = Search{};
    search_.active = true;
    search_.target = history.front();
    search_.shownTimeMs = lastTime_;
    // The picture stays on show while the frames on the way to it pass.
    frames_.hold(frames_.latest());
    frames_.forgetHistory();
    libvlc_audio_set_mute(player_, 1);
    libvlc_media_player_set_rate(player_, kSearchRate);
    libvlc_media_player_set_time(player_, std::max<qint64>(0, vlcTime - reach));
    libvlc_media_player_set_pause(player_, 0);
    searchWatchdog_.start(kSearchTimeoutMs);
}

// Each frame on the way is compared with the one looked for; the frame before it is shown.
void VlcEngine::searchFrameArrived() {
    if (!search_.active)
        return;
    if (search_.found) {
        searchWatchdog_.start(kSettleMs);
        return;
    }
    // The history's span and the margin, and as much again: a landing after the frame looked
    // for would otherwise play on fast through the title.
    const qint64 limit =
        2 * (qint64(frames_.historyLength()) + kSeekMarginMs / std::max<qint64>(1, frameMs()));
    quint64 previous = 0;
    for (const auto& frame : frames_.history()) {
        if (frame->serial > search_.lastSerial) {
            search_.lastSerial = frame->serial;
            if (++search_.seen > limit) {
                libvlc_media_player_set_pause(player_, 1);
                endSearch();
                return;
            }
            if (sameFrame(frame->image(), search_.target->image())) {
                search_.found = true;
                search_.wanted = previous ? previous : frame->serial;
                search_.wantedTimeMs = search_.shownTimeMs - (previous ? frameMs() : 0);
                break;
            }
        }
        previous = frame->serial;
    }
    if (!search_.found)
        return;
    libvlc_media_player_set_pause(player_, 1);
    libvlc_media_player_set_rate(player_, 1.0f);
    applyVolume();
    searchWatchdog_.start(kSettleMs);
}

// Settled after the frame was found, or the time is up.
void VlcEngine::searchStalled() {
    if (!search_.active)
        return;
    if (!search_.found) {
        libvlc_media_player_set_pause(player_, 1);
        endSearch();
        return;
    }
    frames_.showSerial(search_.wanted);
    const qint64 wantedTime = search_.wantedTimeMs;
    endSearch();
    clock_.set(wantedTime, false, nowMs());
}

void VlcEngine::endSearch() {
    const bool wasActive = search_.active;
    if (wasActive && !search_.found) {
        // Cut short (a seek, a stop, a new title): playback goes on as it was asked to.
        libvlc_media_player_set_rate(player_, 1.0f);
        applyVolume();
    }
    search_ = Search{};
    searchWatchdog_.stop();
    clock_.clear();
    if (wasActive)
        frames_.hold(nullptr);
}

void VlcEngine::keepRecentFrames() {
    requireTitle("recent frames");
    if (snapshots_)
        snapshots_->seriesRequested(frames_.history());
}
