// The transport controls against a fake engine: phases, guards, sound and volume.
#include "MainFormHarness.h"

#include "ui/GlyphButton.h"
#include "ui/ProgressBar.h"
#include "ui/VolumeSlider.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace {
// Enabled state of the controls in the order play, pause, rewind, ff, stop, full screen,
// single, continuous, timed, Edit menu.
QList<bool> controlStates(const MainForm& f) {
    return {f.playButton->isEnabled(),           f.pauseButton->isEnabled(),
            f.rewindButton->isEnabled(),         f.ffButton->isEnabled(),
            f.stopButton->isEnabled(),           f.fullScreenButton->isEnabled(),
            f.snapshotButton->isEnabled(),       f.continuousSnapshotsButton->isEnabled(),
            f.timedSnapshotsButton->isEnabled(), f.editMenu->menuAction()->isEnabled()};
}
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
    void fullScreenFromButtonAndMenu();
    void muteTogglesTheGlyph();
    void volumeFollowsOnlyALeftButtonDrag();
    void failingEngineIgnoresTheClick();
};

void TestTransport::phasesFromNoDiscThroughPausedAndBack() {
    MainFormHarness h;
    MainForm& f = h.start();
    QCOMPARE(controlStates(f), kNoDisc);
    QVERIFY(!f.logoHide->isHidden());

    h.engine.startsPlaying = false;
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"));
    f.fileMenu_Click();
    f.dvdsList_Click(0);
    h.tick(3);
    QCOMPARE(controlStates(f), kLoading);
    QCOMPARE(f.timeElapsed->text(), QStringLiteral("LOADING..."));
    QVERIFY(!f.logoHide->isHidden());

    h.engine.loadTitle(20);
    h.engine.seconds = 7;
    h.tick();
    QCOMPARE(controlStates(f), kPlaying);
    QVERIFY(f.logoHide->isHidden());
    QCOMPARE(f.timeElapsed->text(), QStringLiteral("00:00:07 / 00:00:20"));

    f.pauseButton_Click();
    h.engine.seconds = 9; // a paused engine keeps the label as it was
    h.tick();
    QCOMPARE(controlStates(f), kPaused);
    QVERIFY(f.logoHide->isHidden());
    QCOMPARE(f.timeElapsed->text(), QStringLiteral("00:00:07 / 00:00:20"));

    f.playButton_Click();
    h.tick();
    QCOMPARE(controlStates(f), kPlaying);

    f.stopButton_Click();
    QCOMPARE(f.timeElapsed->text(), QString());
    QCOMPARE(f.movieProgress->floatValue(), 0.0f);
    h.tick();
    QCOMPARE(controlStates(f), kNoDisc);
    QVERIFY(!f.logoHide->isHidden());

    // The playlist was emptied by stop: play cannot bring the title back.
    h.engine.calls.clear();
    f.playButton_Click();
    QVERIFY(!h.engine.calls.contains(QStringLiteral("play")));
}

void TestTransport::stopWhileLoadingDoesNothing() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.engine.startsPlaying = false;
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"));
    f.fileMenu_Click();
    f.dvdsList_Click(0);
    h.engine.pos = 0.0f; // even with a title already reported
    h.engine.calls.clear();
    f.stopButton_Click();
    QVERIFY(h.engine.calls.isEmpty());
    QCOMPARE(f.timeElapsed->text(), QStringLiteral("LOADING..."));
}

void TestTransport::guardsKeepTheEngineAlone() {
    MainFormHarness h;
    MainForm& f = h.start();

    // Play with an empty playlist.
    QVERIFY2(h.engine.calls.isEmpty(), qPrintable(h.engine.calls.join(',')));
    f.playButton_Click();
    QVERIFY(h.engine.calls.isEmpty());

    h.openMovie();
    // Play while playing.
    h.engine.calls.clear();
    f.playButton_Click();
    QVERIFY(h.engine.calls.isEmpty());

    f.pauseButton_Click();
    QCOMPARE(h.engine.calls, QStringList{QStringLiteral("pause")});
    // Pause while paused, rewind and fast forward while paused.
    h.engine.calls.clear();
    f.pauseButton_Click();
    f.rewindButton_Click();
    f.ffButton_Click();
    QVERIFY2(h.engine.calls.isEmpty(), qPrintable(h.engine.calls.join(',')));

    f.playButton_Click();
    h.engine.calls.clear();
    f.ffButton_Click();
    f.rewindButton_Click();
    QCOMPARE(h.engine.calls,
             (QStringList{QStringLiteral("shuttle 1"), QStringLiteral("shuttle -1")}));

    // Pause needs a loaded title, not only a playing flag.
    h.engine.pos = -1.0f;
    h.engine.calls.clear();
    f.pauseButton_Click();
    QVERIFY(h.engine.calls.isEmpty());
}

void TestTransport::stopWithBothCapturesRunningEndsThemThenTheEngine() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    Settings::current().hideIntervalPrompt = 1;
    f.continuousSnapshots_Click();
    f.timedSnapshots_Click();
    QVERIFY(f.continuousRunning && f.timedRunning);
    QVERIFY(f.snapshotsTimer->isActive());

    h.engine.calls.clear();
    h.sleeps.clear();
    f.stopButton_Click();

    QVERIFY(!f.continuousRunning);
    QVERIFY(!f.timedRunning);
    QVERIFY(!f.snapshotsTimer->isActive());
    QCOMPARE(h.engine.calls,
             (QStringList{QStringLiteral("stop"), QStringLiteral("playlistClear")}));
    QCOMPARE(h.sleeps, QList<int>{500});
}

void TestTransport::fullScreenFromButtonAndMenu() {
    MainFormHarness h;
    MainForm& f = h.start();
    f.fullScreenButton_Click(); // nothing loaded
    QVERIFY(h.engine.calls.isEmpty());
    h.openMovie();
    h.engine.calls.clear();
    f.fullScreenButton_Click();
    f.fullScreenMenu->trigger();
    QCOMPARE(h.engine.calls,
             (QStringList{QStringLiteral("fullscreen"), QStringLiteral("fullscreen")}));
}

void TestTransport::muteTogglesTheGlyph() {
    MainFormHarness h;
    MainForm& f = h.start();
    f.muteStatus_Click();
    QCOMPARE(f.muteStatus->glyph(), QStringLiteral("V"));
    QVERIFY(h.engine.muted);
    f.muteStatus_MouseMove(0, 0, 1, 1);
    QCOMPARE(f.toolTips->text(), QStringLiteral("Sound"));
    f.muteStatus_Click();
    QCOMPARE(f.muteStatus->glyph(), QStringLiteral("U"));
    f.muteStatus_MouseMove(0, 0, 1, 1);
    QCOMPARE(f.toolTips->text(), QStringLiteral("Mute"));
    QCOMPARE(h.engine.calls.count(QStringLiteral("toggleMute")), 2);
}

void TestTransport::volumeFollowsOnlyALeftButtonDrag() {
    MainFormHarness h;
    MainForm& f = h.start();
    f.toolTipTimer_Timer();
    QCOMPARE(f.toolTips->text(), QString());

    f.volumeSlider->setValue(80);
    f.volumeSlider_MouseMove(0, 0, 10, 5);
    QCOMPARE(f.toolTips->text(), QStringLiteral("Volume"));
    QVERIFY(f.toolTipTimer->isActive());
    QCOMPARE(h.engine.vol, 50);

    f.muteStatus_Click();
    h.engine.calls.clear();
    f.volumeSlider->setValue(30);
    f.volumeSlider_MouseMove(1, 0, 10, 5);
    QCOMPARE(f.muteStatus->glyph(), QStringLiteral("U"));
    QVERIFY(!h.engine.muted);
    QCOMPARE(h.engine.calls,
             (QStringList{QStringLiteral("toggleMute"), QStringLiteral("setVolume 30")}));
    QCOMPARE(f.volumeSlider->selLength(), 30);

    // A real drag over the widget reaches the handler with the thumb's new value.
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.volumeSlider->setValue(0); // the thumb at the left end, where the press grabs it
    const QPoint start(2, f.volumeSlider->height() / 2);
    QTest::mousePress(f.volumeSlider, Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(f.volumeSlider->width() - 2, start.y()),
                     f.volumeSlider->mapToGlobal(QPointF(f.volumeSlider->width() - 2, start.y())),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.volumeSlider, &move);
    QTest::mouseRelease(f.volumeSlider, Qt::LeftButton, {},
                        QPoint(f.volumeSlider->width() - 2, start.y()));
    QCOMPARE(h.engine.vol, f.volumeSlider->value());
    QVERIFY(h.engine.vol > 30);
}

void TestTransport::failingEngineIgnoresTheClick() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    h.engine.failEverything = true;
    f.playButton_Click();
    f.pauseButton_Click();
    f.stopButton_Click();
    f.ffButton_Click();
    f.rewindButton_Click();
    f.fullScreenButton_Click();
    f.muteStatus_Click();
    QCOMPARE(f.muteStatus->glyph(), QStringLiteral("U")); // the engine refused: the caption stays
    QVERIFY(h.boxes.shown.isEmpty());
}

QTEST_MAIN(TestTransport)
#include "tst_transport.moc"
