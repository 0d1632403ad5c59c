// Seeks that land on the picture asked for: the disc's own map names the group of pictures that
// holds it, libVLC seeks while paused to the group's first sector (which it does exactly) and
// plays on, hidden and silent, to the picture.
#include "engine/VlcEngine.h"

#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vlc/vlc.h>

namespace {
// After a pause, pictures already on their way still arrive for a moment: the seek waits until
// none came for this long, so that the first picture after it is the group's.
constexpr int kPauseSettleMs = 120;
// A stage that brings no picture for this long ends the seek with the picture on show.
constexpr int kStageTimeoutMs = 3000;
// A picture that came again while landing stands for the group's first only if no other came
// for this long: the group's may equal it (a still scene), or be slow to come on a busy machine.
constexpr int kEchoWaitMs = 1000;

// Paused, libVLC shows the picture on show once more now and then (seen about 125 ms after
// the pause, on a busy machine just as the seek was asked for): it is no new picture.
bool samePicture(const std::shared_ptr<const VideoFrame>& a,
                 const std::shared_ptr<const VideoFrame>& b) {
    if (!a || !b)
        return false;
    const QImage first = a->image(), second = b->image();
    return first.size() == second.size() && first.format() == second.format() &&
           first.sizeInBytes() == second.sizeInBytes() &&
           std::memcmp(first.constBits(), second.constBits(), first.sizeInBytes()) == 0;
}
} // namespace

std::optional<int> VlcEngine::chapterAt(qint64 timeMs) {
    const QList<ChapterEntry> list = chapters();
    std::optional<int> found;
    for (const ChapterEntry& chapter : list)
        if (chapter.startMs <= timeMs)
            found = chapter.index;
    return found;
}

// libVLC goes on after the newest picture it decoded, not the one stepped back to.
void VlcEngine::resumeClock() {
    const auto newest = frames_.newest();
    const qint64 next = clock_.time(nowMs()) + (frames_.stepsBack() + 1) * frameMs();
    clock_.resume(next, newest ? newest->serial : 0, nowMs());
}

qint64 VlcEngine::shownTimeMs() {
    readFigures();
    return seek_.active ? seek_.targetMs : lastTime_;
}

void VlcEngine::seekTo(qint64 timeMs) {
    seekTo(timeMs, SeekBy{});
}

// A seek while another is on its way goes on from where that one lands. Playing pauses for the
// seek: a seek while playing shows pictures still on their way, and sometimes the group's first,
// at once, and only a pause tells them apart. The way from the group's first picture to the one
// asked for is played at normal speed: played faster, libVLC leaves pictures out, and they are
// counted; stepped frame by frame, some steps bring nothing and some come late. Where the disc's
// map has no answer, libVLC seeks as it was asked to: by position (the bar), chapter or time.
void VlcEngine::seekTo(qint64 timeMs, SeekBy by) {
    timeMs = std::clamp<qint64>(timeMs, 0, std::max<qint64>(0, lastLength_ - frameMs()));
    if (seek_.active) {
        seek_.next = timeMs;
        return;
    }
    endSearch();
    clock_.clear();
    const int title = libvlc_media_player_get_title(player_);
    if (!discMap_ || title < 1) {
        seekLikeLibVlc(timeMs, by);
        return;
    }
    seek_ = Seek{};
    seek_.active = true;
    seek_.targetMs = timeMs;
    seek_.by = by;
    const bool playingNow = libvlc_media_player_get_state(player_) == libvlc_Playing;
    seek_.resume = playingNow && !pauseAsked_;
    frames_.hold(frames_.latest());
    // Pictures decoded before a pause still come for a moment after libVLC says it paused (and
    // slower, the busier the machine): the seek waits until none came for a while in any case,
    // or one of them would pass for the group's first picture.
    if (playingNow)
        libvlc_media_player_set_pause(player_, 1);
    seekTimer_.start(kPauseSettleMs);
    const std::shared_ptr<DiscMap> map = discMap_;
    seekLookup_.setFuture(
        QtConcurrent::run([map, title, timeMs] { return map->seekPoint(title, timeMs); }));
}

void VlcEngine::seekLikeLibVlc(qint64 timeMs, SeekBy by) {
    if (by.chapter >= 0)
        libvlc_media_player_set_chapter(player_, by.chapter);
    else if (lastLength_ > 0 && by.position)
        libvlc_media_player_set_position(player_, float(double(timeMs) / double(lastLength_)));
    else
        libvlc_media_player_set_time(player_, timeMs);
    lastTime_ = timeMs;
    if (lastLength_ > 0)
        lastPosition_ = float(double(timeMs) / double(lastLength_));
}

void VlcEngine::seekPointFound() {
    if (!seek_.active || seek_.stage != Seek::Stage::Preparing)
        return;
    seek_.lookedUp = true;
    seek_.point = seekLookup_.future().result();
    if (!seek_.point) {
        const qint64 target = seek_.targetMs;
        const bool resume = seek_.resume;
        const SeekBy by = seek_.by;
        endSeek();
        if (resume)
            libvlc_media_player_set_pause(player_, 0);
        seekLikeLibVlc(target, by);
        return;
    }
    if (seek_.settled)
        landAt(*seek_.point);
}

void VlcEngine::landAt(const DiscMap::SeekPoint& point) {
    seek_.stage = Seek::Stage::Landing;
    const qint64 toGo = std::lround(double(seek_.targetMs - point.timeMs) * point.frameRate / 1000);
    // Within the title's last group the seek stops at its first picture: played on from there,
    // libVLC ends the title before it shows the last pictures.
    seek_.framesToGo = point.last ? 0 : std::clamp<qint64>(toGo, 0, frames_.historyLength() - 1);
    seek_.lastSeen = frames_.newest();
    // From here on the history holds the group's pictures.
    frames_.forgetHistory();
    libvlc_media_player_set_position(player_, point.position);
    seekTimer_.start(kStageTimeoutMs);
}

// The time of the picture this many after the group's first.
qint64 VlcEngine::pictureTimeMs(qint64 picture) const {
    if (!seek_.point)
        return seek_.targetMs;
    return seek_.point->timeMs + std::llround(double(picture) * 1000.0 / seek_.point->frameRate);
}

namespace {
std::shared_ptr<const VideoFrame> withSerial(const FrameStore& frames, quint64 serial) {
    for (const auto& frame : frames.history())
        if (frame->serial == serial)
            return frame;
    return nullptr;
}
} // namespace

void VlcEngine::seekFrameArrived() {
    const auto newest = frames_.newest();
    if (!seek_.active) {
        // The clock waiting for the pictures to move runs from the first that did.
        if (clock_.resuming())
            for (const auto& frame : frames_.history())
                clock_.pictureArrived(frame->serial, frame->arrivedMs);
        return;
    }
    switch (seek_.stage) {
    case Seek::Stage::Preparing:
        if (!seek_.settled)
            seekTimer_.start(kPauseSettleMs);
        return;
    case Seek::Stage::Landing:
        // A picture decoded before the pause may still come first, even long after it (seen
        // just after the start): the group's is the last one to come while paused.
        if (!newest)
            return;
        if (samePicture(newest, seek_.lastSeen)) {
            if (seek_.landing != 0) {
                // The group's picture again: the pictures after it are counted from this one.
                seek_.landing = newest->serial;
                seekTimer_.start(kPauseSettleMs);
            } else {
                seek_.echo = newest->serial;
                seekTimer_.start(kEchoWaitMs);
            }
            return;
        }
        seek_.lastSeen = newest;
        seek_.landing = newest->serial;
        seekTimer_.start(kPauseSettleMs);
        return;
    case Seek::Stage::Settling:
        seekTimer_.start(kPauseSettleMs);
        return;
    case Seek::Stage::Approaching:
        break;
    }
    seek_.wanted = withSerial(frames_, seek_.landing + quint64(seek_.framesToGo));
    if (!seek_.wanted)
        return;
    if (seek_.playing && seek_.resume) {
        finishSeek(seek_.wanted, pictureTimeMs(seek_.framesToGo));
        return;
    }
    // Paused: a picture still on its way stays in the history, after the one shown.
    if (seek_.playing) {
        libvlc_media_player_set_pause(player_, 1);
        seek_.playing = false;
    }
    frames_.hold(seek_.wanted);
    seek_.stage = Seek::Stage::Settling;
    seekTimer_.start(kPauseSettleMs);
}

// Landed on the group's first picture, paused: played on to the picture asked for.
void VlcEngine::approach() {
    // Playing on, the picture to show is one that moves: the clock runs from its arrival.
    if (seek_.resume && !seek_.point->last)
        seek_.framesToGo = std::max<qint64>(seek_.framesToGo, 1);
    if (seek_.framesToGo == 0) {
        finishSeek(withSerial(frames_, seek_.landing), pictureTimeMs(0));
        return;
    }
    seek_.playing = true;
    seek_.stage = Seek::Stage::Approaching;
    libvlc_audio_set_mute(player_, 1); // the sound would run ahead of the picture held
    libvlc_media_player_set_pause(player_, 0);
    seekTimer_.start(kStageTimeoutMs);
}

void VlcEngine::seekTimedOut() {
    if (!seek_.active)
        return;
    switch (seek_.stage) {
    case Seek::Stage::Preparing:
        if (libvlc_media_player_get_state(player_) == libvlc_Playing &&
            ++seek_.pauseWaits * kPauseSettleMs < kStageTimeoutMs) {
            seekTimer_.start(kPauseSettleMs); // the pause has not reached libVLC's input yet
            return;
        }
        seek_.settled = true;
        if (seek_.lookedUp && seek_.point)
            landAt(*seek_.point);
        return;
    case Seek::Stage::Landing:
        if (seek_.landing == 0)
            seek_.landing = seek_.echo;
        if (seek_.landing == 0) {
            // No picture came (a still equal to the one before): nothing is known of it.
            const bool resume = seek_.resume;
            endSeek();
            if (resume)
                libvlc_media_player_set_pause(player_, 0);
            return;
        }
        approach();
        return;
    case Seek::Stage::Approaching:
        if (!seek_.resume)
            libvlc_media_player_set_pause(player_, 1);
        [[fallthrough]];
    case Seek::Stage::Settling: {
        // Settled, or libVLC shows no more pictures (a still, the title's last ones): the
        // newest stands unless one was chosen.
        auto shown = seek_.wanted ? seek_.wanted : frames_.newest();
        const qint64 index = shown ? qint64(shown->serial - seek_.landing) : 0;
        finishSeek(std::move(shown), pictureTimeMs(index));
        return;
    }
    }
}

void VlcEngine::finishSeek(std::shared_ptr<const VideoFrame> shown, qint64 shownMs) {
    seekTimer_.stop();
    if (shown)
        frames_.showSerial(shown->serial);
    frames_.hold(nullptr);
    applyVolume();
    if (seek_.playing && seek_.resume && shown) {
        // Played through to it: the clock runs from the picture's arrival.
        clock_.set(shownMs, true, shown->arrivedMs);
    } else {
        clock_.set(shownMs, false, nowMs());
        if (seek_.playing && !seek_.resume) {
            libvlc_media_player_set_pause(player_, 1);
        } else if (!seek_.playing && seek_.resume) {
            resumeClock();
            libvlc_media_player_set_pause(player_, 0);
        }
    }
    lastTime_ = std::min(shownMs, lastLength_);
    if (lastLength_ > 0)
        lastPosition_ = float(double(lastTime_) / double(lastLength_));
    const std::optional<qint64> next = seek_.next;
    seek_ = Seek{};
    if (next)
        seekTo(*next);
}

// Cut short (a stop, a new title, a medium libVLC cannot seek in): the picture is let go and
// playback goes on as it was.
void VlcEngine::endSeek() {
    if (!seek_.active)
        return;
    seekTimer_.stop();
    frames_.hold(nullptr);
    applyVolume();
    seek_ = Seek{};
}
