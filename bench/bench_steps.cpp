// Frame steps on the authored disc: the time from a step to its picture on show (forward by
// decoding, back within the history, back beyond it) against one frame's duration, and what
// the history of recent frames costs in memory.
#include "BenchSupport.h"
#include "FixtureDrive.h"
#include "engine/FrameStore.h"
#include "engine/VlcEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

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
    const double frameBytes = frame ? double(frame->image.sizeInBytes()) : 0;
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
    return 0;
}
