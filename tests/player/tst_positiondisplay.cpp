// The position timer, the time text and seeking.
#include "ControllerHarness.h"

#include "player/TimeFormat.h"
#include "settings/Settings.h"

#include <QTest>

class TestPositionDisplay : public QObject {
    Q_OBJECT
private slots:
    void formatTime_data();
    void formatTime();
    void formatTimeLeavesTheSecondsBelowAMinute();
    void tickFollowsTheEngine();
    void timeTextIsRebuiltOnlyWhenAFigureChanges();
    void endOfTitleEndsBothCapturesOnce();
    void continuousCaptureRequestsAnImageEveryTickAlsoWhilePaused();
    void framesStepWhilePausedAndTheTimeFollows();
    void failingEngineEndsTheTickSilently();
    void seeking();
};

void TestPositionDisplay::formatTime_data() {
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << "00:00:00";
    QTest::newRow("minute and a second") << 61 << "00:01:01";
    QTest::newRow("hour") << 3600 << "01:00:00";
    QTest::newRow("just below ten hours") << 35999 << "09:59:59";
    QTest::newRow("hundred hours") << 360000 << "100:00:00";
    QTest::newRow("unknown length") << -5 << "00:00:00";
}

void TestPositionDisplay::formatTime() {
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(FormatTime(seconds), text);
}

void TestPositionDisplay::formatTimeLeavesTheSecondsBelowAMinute() {
    int seconds = 3725;
    FormatTime(seconds);
    QCOMPARE(seconds, 5);
}

void TestPositionDisplay::tickFollowsTheEngine() {
    ControllerHarness h;
    h.openMovie();
    h.engine.pos = 0.25f;
    h.engine.seconds = 3725;
    h.engine.total = 7260;
    h.tick();
    QCOMPARE(h.view.progress, 25.0f);
    QCOMPARE(h.view.timeText, QStringLiteral("01:02:05 / 02:01:00"));

    // Idle engine: controls off, bar at 0, label empty, cover shown.
    h.engine.isPlaying = false;
    h.engine.pos = -1.0f;
    h.tick();
    QVERIFY(!h.session.controlsEnabled());
    QVERIFY(!h.view.controls[RecordingView::FullScreen]);
    QCOMPARE(h.view.progress, 0.0f);
    QCOMPARE(h.view.timeText, QString());
    QVERIFY(h.view.cover);
    QCOMPARE(h.session.phase(), PlayerSession::Phase::NoDisc);
}

void TestPositionDisplay::timeTextIsRebuiltOnlyWhenAFigureChanges() {
    ControllerHarness h;
    h.openMovie();
    h.engine.seconds = 5;
    const auto timeTexts = [&] { return h.view.log.filter(QStringLiteral("time ")); };
    h.view.log.clear();
    h.tick(3);
    QCOMPARE(timeTexts(), QStringList{QStringLiteral("time 00:00:05 / 00:00:20")});
    h.engine.total = 21;
    h.tick();
    QCOMPARE(timeTexts().size(), 2);

    // Another text in between (the engine fell idle, then plays on): the same figures are
    // shown again.
    h.engine.isPlaying = false;
    h.engine.pos = -1.0f;
    h.tick();
    QCOMPARE(h.view.timeText, QString());
    h.engine.isPlaying = true;
    h.engine.pos = 0.25f;
    h.tick();
    QCOMPARE(h.view.timeText, QStringLiteral("00:00:05 / 00:00:21"));
}

void TestPositionDisplay::endOfTitleEndsBothCapturesOnce() {
    ControllerHarness h;
    h.openMovie();
    h.startBothCaptures();
    QVERIFY(h.capture.continuousRunning() && h.capture.timedRunning());

    h.engine.pos = 1.0f;
    h.engine.isPlaying = false;
    const int before = h.engine.snapshotRequests();
    h.view.log.clear();
    h.tick();
    QVERIFY(!h.capture.continuousRunning());
    QVERIFY(!h.capture.timedRunning());
    QVERIFY(!h.capture.snapshotsTimer().isActive());
    // The image of that tick was still requested before the modes ended, and the bar is full.
    QCOMPARE(h.engine.snapshotRequests(), before + 1);
    QCOMPARE(h.view.log.first(), QStringLiteral("progress 100"));
    // Later ticks find both flags false; nothing is asked or shown, even on a full disk.
    h.freeBytes = 0;
    h.tick(5);
    QVERIFY(!h.capture.continuousRunning() && !h.capture.timedRunning());
    QCOMPARE(h.engine.snapshotRequests(), before + 1);
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestPositionDisplay::continuousCaptureRequestsAnImageEveryTickAlsoWhilePaused() {
    ControllerHarness h;
    h.openMovie();
    h.capture.toggleContinuous();
    QCOMPARE(h.engine.snapshotRequests(), 0); // switching on takes no image by itself
    h.tick(3);
    QCOMPARE(h.engine.snapshotRequests(), 3);
    h.session.pause();
    h.tick(2);
    QCOMPARE(h.engine.snapshotRequests(), 5);
    // Every request binds the key first, always with 83.
    QCOMPARE(h.engine.variables.size(), 10);
    for (int i = 0; i < h.engine.variables.size(); ++i) {
        QCOMPARE(h.engine.variables[i].first,
                 i % 2 == 0 ? QStringLiteral("key-snapshot") : QStringLiteral("key-pressed"));
        QCOMPARE(h.engine.variables[i].second, 83);
    }
}

// A step while playing pauses, as the pause button would; while paused the engine steps and the
// time shown follows the picture.
void TestPositionDisplay::framesStepWhilePausedAndTheTimeFollows() {
    ControllerHarness h;
    h.openMovie();
    h.engine.seconds = 5;
    h.tick();
    h.engine.calls.clear();
    h.session.stepForward();
    QCOMPARE(h.engine.calls.filter(QStringLiteral("step")), QStringList{});
    QVERIFY(!h.engine.isPlaying);
    QCOMPARE(h.session.phase(), PlayerSession::Phase::Paused);
    h.session.stepBackward();
    h.session.stepForward();
    QCOMPARE(h.engine.calls.filter(QStringLiteral("step")),
             (QStringList{QStringLiteral("stepBackward"), QStringLiteral("stepForward")}));
    h.engine.seconds = 4;
    h.tick();
    QCOMPARE(h.view.timeText, QStringLiteral("00:00:04 / 00:00:20"));
}

void TestPositionDisplay::failingEngineEndsTheTickSilently() {
    ControllerHarness h;
    h.openMovie();
    h.engine.seconds = 4;
    h.tick();
    const QString shown = h.view.timeText;
    h.engine.failing = {QStringLiteral("time")};
    h.engine.seconds = 9;
    h.tick();
    QCOMPARE(h.view.timeText, shown);
    QVERIFY(h.session.controlsEnabled());
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestPositionDisplay::seeking() {
    ControllerHarness h;
    h.session.seek(1, 10, 200); // empty playlist
    QVERIFY(h.engine.calls.isEmpty());

    h.openMovie();
    h.engine.calls.clear();
    h.session.seek(2, 100, 200); // right button
    h.session.seek(1, 100, 0);   // a bar without width
    QVERIFY(h.engine.calls.isEmpty());
    h.session.seek(1, 100, 200);
    QCOMPARE(h.engine.pos, 0.5f);

    h.engine.failing = {QStringLiteral("setPosition")};
    h.session.seek(1, 200, 200); // silently ignored
    QVERIFY(h.boxes.shown.isEmpty());
}

QTEST_GUILESS_MAIN(TestPositionDisplay)
#include "tst_positiondisplay.moc"
