// The hint line: pointer moves over the buttons name them for a few seconds.
#include "MainFormHarness.h"

#include "ui/GlyphButton.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace {
void movePointerOver(QWidget* w) {
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}
} // namespace

class TestHints : public QObject {
    Q_OBJECT
private slots:
    void eachButtonShowsItsName();
    void aRunningHideTimerIsNotRestarted();
    void disabledButtonsShowNothing();
    void packTextIsLookedUpEachTime();
};

void TestHints::eachButtonShowsItsName() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    const QList<QPair<QWidget*, QString>> expected{
        {f.snapshotButton, "Single Snapshot"},
        {f.continuousSnapshotsButton, "Continuous Snapshots"},
        {f.timedSnapshotsButton, "Timed Snapshots"},
        {f.fullScreenButton, "Full Screen"},
        {f.rewindButton, "Rewind"},
        {f.playButton, "Play"},
        {f.pauseButton, "Pause"},
        {f.stopButton, "Stop"},
        {f.ffButton, "Fast Forward"},
        {f.muteStatus, "Mute"}};
    for (const auto& [button, text] : expected) {
        movePointerOver(button);
        QCOMPARE(f.toolTips->text(), text);
    }
    f.toolTipTimer_Timer();
    QCOMPARE(f.toolTips->text(), QString());
    QVERIFY(!f.toolTipTimer->isActive());
}

void TestHints::aRunningHideTimerIsNotRestarted() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    f.toolTipTimer_Timer();
    movePointerOver(f.playButton);
    QVERIFY(f.toolTipTimer->isActive());
    QTest::qWait(300);
    const int left = f.toolTipTimer->remainingTime();
    movePointerOver(f.stopButton);
    QCOMPARE(f.toolTips->text(), QStringLiteral("Stop"));
    QVERIFY(f.toolTipTimer->remainingTime() <= left);
    // The same hint again changes nothing.
    movePointerOver(f.stopButton);
    QVERIFY(f.toolTipTimer->remainingTime() <= left);
}

void TestHints::disabledButtonsShowNothing() {
    MainFormHarness h;
    MainForm& f = h.start();
    f.toolTipTimer_Timer();
    movePointerOver(f.playButton); // disabled at start
    QCOMPARE(f.toolTips->text(), QString());
    QVERIFY(!f.toolTipTimer->isActive());
}

void TestHints::packTextIsLookedUpEachTime() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    QDir(h.programDir.path()).mkdir(QStringLiteral("Lang"));
    QFile pack(h.programDir.filePath(QStringLiteral("Lang/English.ini")));
    QVERIFY(pack.open(QIODevice::WriteOnly));
    pack.write("[Stillbeck Language Pack]\r\n026=Abspielen\r\n");
    pack.close();
    movePointerOver(f.playButton);
    QCOMPARE(f.toolTips->text(), QStringLiteral("Abspielen"));
    movePointerOver(f.stopButton); // no entry in the pack: the built-in text
    QCOMPARE(f.toolTips->text(), QStringLiteral("Stop"));
}

QTEST_MAIN(TestHints)
#include "tst_hints.moc"
