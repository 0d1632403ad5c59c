// The transport controls against a fake engine: phases, guards, sound and volume.
#include "ControllerHarness.h"

#include "settings/Settings.h"

#include <QTest>

namespace {
using Phase = PlayerSession::Phase;
// In the order of RecordingView::controls: play, pause, rewind, ff, stop, full screen, single,
// continuous, timed, Edit menu.
const QList<bool> kNoDisc{false, false, false, false, false, false, false, false, false, false};
const QList<bool> kLoading{false, true, true, true, false, false, false, false, false, false};
const QList<bool> kPlaying{true, true, true, true, true, true, true, true, true, true};
const QList<bool> kPaused{true, false, false, false, true, true, true, true, true, true};
} // namespace

class TestTransport : public QObject {
    Q_OBJECT
private slots:
    void phasesFromNoDiscThroughPausedAndBack();
    void stopWhileLoadingDoesNothing();
    void guardsKeepTheEngineAlone();
    void stopWithBothCapturesRunningEndsThemThenTheEngine();
    void muteAndVolume();
    void failingEngineIgnoresTheClick();
};

void TestTransport::phasesFromNoDiscThroughPausedAndBack() {
    ControllerHarness h;
    QCOMPARE(h.session.phase(), Phase::NoDisc);
    QCOMPARE(h.view.controls, kNoDisc);
    QVERIFY(h.view.cover);

    h.engine.startsPlaying = false;
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"));
    h.session.listDrives();
    h.session.openDrive(0);
    h.tick(3);
    QCOMPARE(h.session.phase(), Phase::Loading);
    QCOMPARE(h.view.controls, kLoading);
    QCOMPARE(h.view.timeText, QStringLiteral("LOADING..."));
    QVERIFY(h.view.cover);

    h.engine.loadTitle(20);
    h.engine.seconds = 7;
    h.tick();
    QCOMPARE(h.session.phase(), Phase::Playing);
    QCOMPARE(h.view.controls, kPlaying);
    QVERIFY(!h.view.cover);
    QCOMPARE(h.view.timeText, QStringLiteral("00:00:07 / 00:00:20"));

    h.session.pause();
    h.engine.seconds = 9; // a paused engine keeps the label as it was
    h.tick();
    QCOMPARE(h.session.phase(), Phase::Paused);
    QCOMPARE(h.view.controls, kPaused);
    QVERIFY(!h.view.cover);
    QCOMPARE(h.view.timeText, QStringLiteral("00:00:07 / 00:00:20"));

    h.session.play();
    h.tick();
    QCOMPARE(h.session.phase(), Phase::Playing);
    QCOMPARE(h.view.controls, kPlaying);

    h.session.stop();
    QCOMPARE(h.session.phase(), Phase::NoDisc);
    QCOMPARE(h.view.timeText, QString());
    QCOMPARE(h.view.progress, 0.0f);
    h.tick();
    QCOMPARE(h.view.controls, kNoDisc);
    QVERIFY(h.view.cover);

    // The playlist was emptied by stop: play cannot bring the title back.
    h.engine.calls.clear();
    h.session.play();
    QVERIFY(!h.engine.calls.contains(QStringLiteral("play")));
}

void TestTransport::stopWhileLoadingDoesNothing() {
    ControllerHarness h;
    h.engine.startsPlaying = false;
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"));
    h.session.listDrives();
    h.session.openDrive(0);
    h.engine.pos = 0.0f; // even with a title already reported
    h.engine.calls.clear();
    h.session.stop();
    QVERIFY(h.engine.calls.isEmpty());
    QCOMPARE(h.session.phase(), Phase::Loading);
    QCOMPARE(h.view.timeText, QStringLiteral("LOADING..."));
}

void TestTransport::guardsKeepTheEngineAlone() {
    ControllerHarness h;

    // Play with an empty playlist.
    QVERIFY2(h.engine.calls.isEmpty(), qPrintable(h.engine.calls.join(',')));
    h.session.play();
    QVERIFY(h.engine.calls.isEmpty());

    h.openMovie();
    // Play while playing.
    h.engine.calls.clear();
    h.session.play();
    QVERIFY(h.engine.calls.isEmpty());

    h.session.pause();
    QCOMPARE(h.engine.calls, QStringList{QStringLiteral("pause")});
    // Pause while paused, rewind and fast forward while paused.
    h.engine.calls.clear();
    h.session.pause();
    h.session.rewind();
    h.session.fastForward();
    QVERIFY2(h.engine.calls.isEmpty(), qPrintable(h.engine.calls.join(',')));

    h.session.play();
    h.engine.calls.clear();
    h.session.fastForward();
    h.session.rewind();
    QCOMPARE(h.engine.calls,
             (QStringList{QStringLiteral("shuttle 1"), QStringLiteral("shuttle -1")}));

    // Pause needs a loaded title, not only a playing flag; full screen needs a title.
    h.engine.pos = -1.0f;
    h.engine.calls.clear();
    h.session.pause();
    h.session.fullScreen();
    QVERIFY(h.engine.calls.isEmpty());
    h.engine.pos = 0.5f;
    h.session.fullScreen();
    QCOMPARE(h.engine.calls, QStringList{QStringLiteral("fullscreen")});
}

void TestTransport::stopWithBothCapturesRunningEndsThemThenTheEngine() {
    ControllerHarness h;
    h.openMovie();
    h.startBothCaptures();
    QVERIFY(h.capture.continuousRunning() && h.capture.timedRunning());
    QVERIFY(h.capture.snapshotsTimer().isActive());

    h.engine.calls.clear();
    h.sleeps.clear();
    h.view.log.clear();
    h.session.stop();

    QVERIFY(!h.capture.continuousRunning());
    QVERIFY(!h.capture.timedRunning());
    QVERIFY(!h.capture.snapshotsTimer().isActive());
    QCOMPARE(h.view.log, (QStringList{QStringLiteral("progress 0"), QStringLiteral("time "),
                                      QStringLiteral("continuous 0"), QStringLiteral("timed 0")}));
    QCOMPARE(h.engine.calls,
             (QStringList{QStringLiteral("stop"), QStringLiteral("playlistClear")}));
    QCOMPARE(h.sleeps, QList<int>{500});

    // An engine that refuses to stop still finds the captures ended.
    h.openMovie();
    h.capture.toggleContinuous();
    h.engine.failing = {QStringLiteral("stop")};
    h.session.stop();
    QVERIFY(!h.capture.continuousRunning());
}

void TestTransport::muteAndVolume() {
    ControllerHarness h;
    h.session.toggleMute();
    QVERIFY(h.session.muted() && h.view.muted && h.engine.muted);
    h.session.toggleMute();
    QVERIFY(!h.session.muted() && !h.view.muted && !h.engine.muted);

    // Dragging the volume brings the sound back first, and shows it before the volume changes.
    h.session.toggleMute();
    h.engine.calls.clear();
    h.view.log.clear();
    h.session.changeVolume(30);
    QVERIFY(!h.session.muted() && !h.engine.muted);
    QCOMPARE(h.view.log, QStringList{QStringLiteral("muted 0 now")});
    QCOMPARE(h.engine.calls,
             (QStringList{QStringLiteral("toggleMute"), QStringLiteral("setVolume 30")}));
    h.engine.calls.clear();
    h.session.changeVolume(40);
    QCOMPARE(h.engine.calls, QStringList{QStringLiteral("setVolume 40")});
}

void TestTransport::failingEngineIgnoresTheClick() {
    ControllerHarness h;
    h.openMovie();
    h.engine.failEverything = true;
    h.session.play();
    h.session.pause();
    h.session.stop();
    h.session.fastForward();
    h.session.rewind();
    h.session.fullScreen();
    h.session.toggleMute();
    h.session.changeVolume(10);
    // The engine refused: the sound state stays, and nobody is bothered with a message.
    QVERIFY(!h.session.muted() && !h.view.muted);
    QVERIFY(h.boxes.shown.isEmpty());
}

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_transport.moc"
