// Frame steps on the authored disc: the time from a step to its picture on show (forward by
// decoding, back within the history, back beyond it) against one frame's duration, and what
// the history of recent frames costs in memory; and the time a one-second shuttle takes to land
// on its picture, paused and playing, against libVLC's own time seek (what the shuttle did
// before) on a bare player of the same disc.
#include "BenchSupport.h"
#include "FixtureDrive.h"
#include "ProcessSupport.h"
#include "engine/FrameStore.h"
#include "engine/VlcEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>
#include <vlc/vlc.h>

namespace {
bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

// Milliseconds from the step to a new frame on show; negative when none came.
double timeStep(VlcEngine& engine, void (VlcEngine::*step)()) {
    const auto before = engine.frameStore()->latest();
    QElapsedTimer clock;
    clock.start();
    (engine.*step)();
    const bool shown = waitFor(
        [&] { return !engine.seekingBack() && engine.frameStore()->latest() != before; }, 15000);
    return shown ? double(clock.nsecsElapsed()) / 1e6 : -1;
}

// Milliseconds from a shuttle to its picture on show, back and forth in turn.
std::vector<double> timeShuttles(VlcEngine& engine, int count) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer clock;
        clock.start();
        engine.shuttle(i % 2 ? 1 : -1);
        if (waitFor([&] { return !engine.seeking(); }, 15000))
            times.push_back(double(clock.nsecsElapsed()) / 1e6);
        waitFor([] { return false; }, 200);
    }
    return times;
}
// libVLC alone, its pictures counted when they differ from the one before (paused, libVLC shows
// the same picture again and again).
class BarePlayer {
public:
    explicit BarePlayer(libvlc_instance_t* vlc, const QByteArray& mrl)
        : picture_(720 * 576 * 4), last_(720 * 576 * 4) {
        libvlc_media_t* media = libvlc_media_new_location(vlc, mrl.constData());
        player_ = libvlc_media_player_new_from_media(media);
        libvlc_media_release(media);
        libvlc_video_set_callbacks(player_, lock, nullptr, display, this);
        libvlc_video_set_format(player_, "RV32", 720, 576, 720 * 4);
        libvlc_media_player_play(player_);
    }
    ~BarePlayer() {
        libvlc_media_player_stop(player_);
        libvlc_media_player_release(player_);
    }
    libvlc_media_player_t* player() { return player_; }
    int pictures() const { return pictures_; }

    // Milliseconds from a time seek a second back or on to the first new picture.
    std::vector<double> timeSeeks(int count, bool playing) {
        std::vector<double> times;
        for (int i = 0; i < count; ++i) {
            const libvlc_time_t now = libvlc_media_player_get_time(player_);
            const int before = pictures_;
            QElapsedTimer clock;
            clock.start();
            libvlc_media_player_set_time(player_,
                                         std::max<libvlc_time_t>(0, now + (i % 2 ? 1000 : -1000)));
            // Playing, the pictures move on from the new place after a pause (libVLC buffers).
            qint64 lastMs = 0;
            int seen = before;
            const bool shown = waitFor(
                [&] {
                    if (pictures_ == seen)
                        return false;
                    seen = pictures_;
                    const qint64 at = clock.elapsed();
                    const bool afterPause = !playing || at - lastMs >= 200;
                    lastMs = at;
                    return afterPause;
                },
                15000);
            if (shown)
                times.push_back(double(clock.nsecsElapsed()) / 1e6);
            waitFor([] { return false; }, 200);
        }
        return times;
    }

private:
    static void* lock(void* opaque, void** planes) {
        *planes = static_cast<BarePlayer*>(opaque)->picture_.data();
        return nullptr;
    }
    static void display(void* opaque, void*) {
        auto* self = static_cast<BarePlayer*>(opaque);
        if (std::memcmp(self->picture_.data(), self->last_.data(), self->picture_.size()) == 0)
            return;
        self->last_ = self->picture_;
        ++self->pictures_;
    }

    libvlc_media_player_t* player_ = nullptr;
    std::vector<unsigned char> picture_, last_;
    std::atomic<int> pictures_{0};
};
} // namespace

int main(int argc, char** argv) {
    defaultToOffscreen();
    QCoreApplication app(argc, argv);
    FixtureDrive drive(fixtureDir() + QStringLiteral("/movie.iso"));
    VlcEngine engine(&drive, {QStringLiteral("--aout=adummy"), QStringLiteral("--quiet")});
    engine.addTarget(QStringLiteral("dvd://D:"), {}, VlcEngine::kModeGo, 0);
    if (!waitFor([&] { return engine.playing() && engine.time() >= 8; }, 20000)) {
        std::fprintf(stderr, "bench_steps: the disc does not play\n");
        return 2;
    }
    engine.pause();
    waitFor([] { return false; }, 300);

    constexpr int kSteps = 20;
    std::vector<double> forward, back, beyond;
    for (int i = 0; i < kSteps; ++i)
        forward.push_back(timeStep(engine, &VlcEngine::stepForward));
    const int kept = int(engine.frameStore()->history().size());
    // Through the history, then beyond it a few times.
    for (int i = 0; i + 1 < kept; ++i)
        back.push_back(timeStep(engine, &VlcEngine::stepBackward));
    for (int i = 0; i < 5; ++i) {
        beyond.push_back(timeStep(engine, &VlcEngine::stepBackward));
        // Back to the history's oldest frame, so that the next step goes beyond it again.
        while (engine.frameStore()->stepBack()) {
        }
    }
    const auto frame = engine.frameStore()->newest();
    const double frameBytes = frame ? double(frame->image().sizeInBytes()) : 0;
    const double rate = engine.frameStore()->frameRate();
    const double periodMs = rate > 0 ? 1000 / rate : 40;
    const double forwardMs = median(forward), backMs = median(back), beyondMs = median(beyond);
    std::printf("steps forward_ms_median=%.2f back_in_history_ms_median=%.2f "
                "back_beyond_ms_median=%.1f frame_period_ms=%.1f forward_frames=%.3f "
                "back_frames=%.3f beyond_frames=%.1f\n",
                forwardMs, backMs, beyondMs, periodMs, forwardMs / periodMs, backMs / periodMs,
                beyondMs / periodMs);
    std::printf("history frames=%d frame_mb=%.2f mb_per_s=%.1f total_mb=%.1f\n", kept,
                frameBytes / 1e6, frameBytes * rate / 1e6, frameBytes * kept / 1e6);

    const double pausedMs = median(timeShuttles(engine, 10));
    engine.play();
    waitFor([] { return false; }, 500);
    const double playingMs = median(timeShuttles(engine, 10));
    engine.stop();

    const char* arguments[] = {"--aout=adummy", "--quiet", "--avcodec-hw=none"};
    libvlc_instance_t* vlc = libvlc_new(3, arguments);
    double barePausedMs = 0, barePlayingMs = 0;
    {
        BarePlayer bare(vlc, "dvd://" + (fixtureDir() + QStringLiteral("/movie.iso")).toUtf8());
        waitFor([&] { return libvlc_media_player_get_time(bare.player()) >= 8000; }, 20000);
        barePlayingMs = median(bare.timeSeeks(10, true));
        libvlc_media_player_set_pause(bare.player(), 1);
        waitFor([] { return false; }, 300);
        barePausedMs = median(bare.timeSeeks(10, false));
    }
    libvlc_release(vlc);
    std::printf("shuttle paused_ms_median=%.1f playing_ms_median=%.1f "
                "libvlc_time_seek_paused_ms_median=%.1f libvlc_time_seek_playing_ms_median=%.1f "
                "ratio_paused=%.2f ratio_playing=%.2f\n",
                pausedMs, playingMs, barePausedMs, barePlayingMs,
                barePausedMs > 0 ? pausedMs / barePausedMs : 0,
                barePlayingMs > 0 ? playingMs / barePlayingMs : 0);
    return 0;
}
