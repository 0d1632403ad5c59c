// The position timer, the time text and seeking.
#include "MainFormHarness.h"

#include "playback/TimeFormat.h"
#include "ui/GlyphButton.h"
#include "ui/ProgressBar.h"

#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QTimer>

class TestPositionDisplay : public QObject {
    Q_OBJECT
private slots:
    void formatTime_data();
    void formatTime();
    void formatTimeLeavesTheSecondsBelowAMinute();
    void tickFollowsTheEngine();
    void endOfTitleEndsBothCapturesOnce();
    void continuousCaptureRequestsAnImageEveryTickAlsoWhilePaused();
    void failingEngineEndsTheTickSilently();
    void seekingOnTheBar();
    void timerRunsOnItsOwn();
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
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    h.engine.pos = 0.25f;
    h.engine.seconds = 3725;
    h.engine.total = 7260;
    h.tick();
    QCOMPARE(f.movieProgress->floatValue(), 25.0f);
    QCOMPARE(f.timeElapsed->text(), QStringLiteral("01:02:05 / 02:01:00"));

    // Idle engine: controls off, bar at 0, label empty, cover shown.
    h.engine.isPlaying = false;
    h.engine.pos = -1.0f;
    h.tick();
    QVERIFY(!f.fullScreenButton->isEnabled());
    QCOMPARE(f.movieProgress->floatValue(), 0.0f);
    QCOMPARE(f.timeElapsed->text(), QString());
    QVERIFY(!f.logoHide->isHidden());
}

void TestPositionDisplay::endOfTitleEndsBothCapturesOnce() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    Settings::current().hideIntervalPrompt = 1;
    f.continuousSnapshotsButton_Click();
    f.timedSnapshots_Click();
    QVERIFY(f.continuousRunning && f.timedRunning);

    h.engine.pos = 1.0f;
    h.engine.isPlaying = false;
    const int before = h.engine.snapshotRequests();
    h.tick();
    QVERIFY(!f.continuousRunning);
    QVERIFY(!f.timedRunning);
    QVERIFY(!f.snapshotsTimer->isActive());
    // The image of that tick was still requested before the modes ended.
    QCOMPARE(h.engine.snapshotRequests(), before + 1);
    // Later ticks find both flags false; nothing is asked or shown, even on a full disk.
    h.freeBytes = 0;
    h.tick(5);
    QVERIFY(!f.continuousRunning && !f.timedRunning);
    QCOMPARE(h.engine.snapshotRequests(), before + 1);
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestPositionDisplay::continuousCaptureRequestsAnImageEveryTickAlsoWhilePaused() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    f.continuousSnapshotsButton_Click();
    QCOMPARE(h.engine.snapshotRequests(), 0); // switching on takes no image by itself
    h.tick(3);
    QCOMPARE(h.engine.snapshotRequests(), 3);
    f.pauseButton_Click();
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

void TestPositionDisplay::failingEngineEndsTheTickSilently() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    h.engine.seconds = 4;
    h.tick();
    const QString shown = f.timeElapsed->text();
    h.engine.failing = {QStringLiteral("time")};
    h.engine.seconds = 9;
    h.tick();
    QCOMPARE(f.timeElapsed->text(), shown);
    QVERIFY(f.fullScreenButton->isEnabled());
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestPositionDisplay::seekingOnTheBar() {
    MainFormHarness h;
    MainForm& f = h.start();
    f.movieProgress_MouseDown(1, 0, 10, 2); // empty playlist
    QVERIFY(h.engine.calls.isEmpty());

    h.openMovie();
    h.engine.calls.clear();
    const float width = static_cast<float>(f.movieProgress->width());
    f.movieProgress_MouseDown(2, 0, width / 2, 2); // right button
    QVERIFY(h.engine.calls.isEmpty());
    f.movieProgress_MouseDown(1, 0, width / 2, 2);
    QCOMPARE(h.engine.pos, 0.5f);

    // A real click reaches the same handler.
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTest::mouseClick(f.movieProgress, Qt::LeftButton, {}, QPoint(f.movieProgress->width() / 4, 3));
    QVERIFY(qAbs(h.engine.pos - 0.25f) < 0.01f);

    h.engine.failing = {QStringLiteral("setPosition")};
    f.movieProgress_MouseDown(1, 0, width, 2); // silently ignored
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestPositionDisplay::timerRunsOnItsOwn() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.engine.loadTitle();
    h.engine.count = 1;
    f.movieTimer->start();
    QTRY_VERIFY(f.fullScreenButton->isEnabled());
}

QTEST_MAIN(TestPositionDisplay)
#include "tst_positiondisplay.moc"
