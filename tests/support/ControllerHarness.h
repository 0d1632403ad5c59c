#pragma once

#include "FakeDriveSource.h"
#include "FakeEngine.h"
#include "ScriptedMessageBoxes.h"
#include "capture/CaptureController.h"
#include "capture/CaptureView.h"
#include "player/PlayerSession.h"
#include "player/PlayerView.h"

#include <QStringList>
#include <QTemporaryDir>

// Records what the player session and the capture controller tell the window, as the window
// would show it, and the order in which they told it.
struct RecordingView : PlayerView, CaptureView {
    // Enabled state of the controls in the order play, pause, rewind, ff, stop, full screen,
    // single, continuous, timed, Edit menu. The window comes up with all of them on.
    enum Control {
        Play,
        Pause,
        Rewind,
        FastForward,
        Stop,
        FullScreen,
        Single,
        Continuous,
        Timed,
        EditMenu,
        ControlCount
    };
    QList<bool> controls = QList<bool>(ControlCount, true);
    QString timeText;
    float progress = 0;
    bool cover = true;
    bool muted = false;
    // One entry per call: "loading", "time <text>", "progress <n>", "cover <0|1>",
    // "controls <0|1>", "pauseAndShuttle <0|1>", "muted <0|1>[ now]", "continuous <0|1>",
    // "timed <0|1>".
    QStringList log;

    void showLoading() override {
        timeText = QStringLiteral("LOADING...");
        log << QStringLiteral("loading");
    }
    void showTimeText(const QString& text) override {
        timeText = text;
        log << QStringLiteral("time ") + text;
    }
    void showProgress(float percent) override {
        progress = percent;
        log << QStringLiteral("progress %1").arg(percent);
    }
    void showCover(bool shown) override {
        cover = shown;
        log << QStringLiteral("cover %1").arg(shown);
    }
    void EnablePlaybackControls(bool enabled) override {
        controls.fill(enabled);
        log << QStringLiteral("controls %1").arg(enabled);
    }
    void enablePauseAndShuttle(bool enabled) override {
        controls[Pause] = controls[Rewind] = controls[FastForward] = enabled;
        log << QStringLiteral("pauseAndShuttle %1").arg(enabled);
    }
    void showMuted(bool on, bool paintNow) override {
        muted = on;
        log << QStringLiteral("muted %1").arg(on) + (paintNow ? QStringLiteral(" now") : QString());
    }
    void continuousCaptureChanged(bool running) override {
        controls[Single] = controls[Timed] = !running;
        log << QStringLiteral("continuous %1").arg(running);
    }
    void timedCaptureChanged(bool running) override {
        controls[Single] = controls[Continuous] = !running;
        log << QStringLiteral("timed %1").arg(running);
    }
};

// The player session and the capture controller on fakes, without a window: default settings
// with the snapshots folder in a temporary folder, no waits, free space and the interval prompt
// answered by the test. Set up as the window's load sequence leaves them.
struct ControllerHarness {
    QTemporaryDir programDir;
    FakeEngine engine;
    FakeDriveSource drives;
    ScriptedMessageBoxes boxes;
    RecordingView view;
    QList<int> sleeps;
    qint64 freeBytes = 1 << 30;
    bool freeSpaceQueryFails = false;
    // The real free-space query instead of freeBytes (queries are still recorded).
    bool realFreeSpace = false;
    QStringList freeSpaceQueries;
    // The interval prompt's answers, taken from the front; "1" (cancelled) once they run out.
    QStringList intervalAnswers;
    int intervalPrompts = 0;
    CaptureController capture;
    PlayerSession session;

    ControllerHarness();
    ~ControllerHarness();

    // A disc "MOVIE" in D:, chosen from the drive list, playing, with the first tick seen.
    void openMovie();
    // Continuous and timed capture both switched on, the interval prompt hidden.
    void startBothCaptures();
    void tick(int n = 1);
};
