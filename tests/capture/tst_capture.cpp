// The capture routine, its pre-check, and continuous and timed capture on a fake engine.
#include "ControllerHarness.h"

#include "settings/Settings.h"
#include "support/Sandbox.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>

#include <sys/mount.h>

class TestCapture : public QObject {
    Q_OBJECT
private slots:
    void singleSnapshotCreatesTheFolderAndPressesTheKey();
    void folderThatCannotBeCreatedSkipsTheCapture();
    void preCheckBoundaries();
    void failedFreeSpaceQueryKeepsTheLastFigure();
    void freeSpaceOfARealVolume_data();
    void freeSpaceOfARealVolume();
    void continuousToggleSwitchesTheOtherButtons();
    void switchingOffSkipsThePreCheck();
    void bothModesCanRun();
    void timedCaptureWithoutPromptUsesTheSetting_data();
    void timedCaptureWithoutPromptUsesTheSetting();
    void promptCancelledChangesNothing();
    void promptAcceptedStoresTheRoundedInterval();
    void pauseInvertsTheTimedTimer();
};

void TestCapture::singleSnapshotCreatesTheFolderAndPressesTheKey() {
    ControllerHarness h;
    h.openMovie();
    const QString folder = h.programDir.filePath(QStringLiteral("MOVIE Images"));
    QVERIFY(!QFileInfo::exists(folder));

    h.capture.singleSnapshot();
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(h.engine.variables,
             (QList<QPair<QString, qint32>>{{QStringLiteral("key-snapshot"), 83},
                                            {QStringLiteral("key-pressed"), 83}}));
    QCOMPARE(h.freeSpaceQueries, QStringList{Settings::current().snapshotsPath});

    // An existing folder is left alone, files in it included.
    QFile keep(folder + QStringLiteral("/IMG_00001.png"));
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.close();
    h.capture.singleSnapshot();
    QVERIFY(keep.exists());
    QCOMPARE(h.engine.snapshotRequests(), 2);

    // Engine errors are swallowed.
    h.engine.failing = {QStringLiteral("setVariable")};
    h.capture.singleSnapshot();
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestCapture::folderThatCannotBeCreatedSkipsTheCapture() {
    ControllerHarness h;
    h.openMovie();
    // Only the last level is created: a missing parent means no folder and no request.
    Settings::current().snapshotsPath = h.programDir.filePath(QStringLiteral("gone/deeper"));
    h.capture.snapshot();
    QVERIFY(!QFileInfo::exists(h.programDir.filePath(QStringLiteral("gone"))));
    QCOMPARE(h.engine.snapshotRequests(), 0);
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestCapture::preCheckBoundaries() {
    ControllerHarness h;
    // No title: false, silently, without even asking for the free space.
    QVERIFY(!h.capture.CaptureAllowed());
    QVERIFY(h.freeSpaceQueries.isEmpty());
    QVERIFY(h.boxes.shown.isEmpty());

    h.openMovie();
    h.engine.pos = 0.0f; // the very start counts as loaded
    h.freeBytes = 10239;
    h.capture.singleSnapshot();
    QCOMPARE(h.engine.snapshotRequests(), 0);
    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0],
             (ScriptedMessageBoxes::Box{QStringLiteral("Insufficient disk space."),
                                        QStringLiteral("Error"), MessageBoxes::Icon::Critical,
                                        MessageBoxes::Buttons::Ok}));
    h.freeBytes = 10240;
    h.capture.singleSnapshot();
    QCOMPARE(h.engine.snapshotRequests(), 1);
    QCOMPARE(h.boxes.shown.size(), 1);

    // A position that cannot be read counts as no title.
    h.engine.failing = {QStringLiteral("position")};
    QVERIFY(!h.capture.CaptureAllowed());
}

void TestCapture::failedFreeSpaceQueryKeepsTheLastFigure() {
    ControllerHarness h;
    h.openMovie();
    h.freeSpaceQueryFails = true; // nothing known yet: 0 bytes
    QVERIFY(!h.capture.CaptureAllowed());
    QCOMPARE(h.boxes.shown.size(), 1);

    h.freeSpaceQueryFails = false;
    h.freeBytes = 50000;
    QVERIFY(h.capture.CaptureAllowed());
    QCOMPARE(h.capture.freeBytesAvailable(), 50000);
    h.freeSpaceQueryFails = true;
    h.freeBytes = 0;
    QVERIFY(h.capture.CaptureAllowed());
    QCOMPARE(h.capture.freeBytesAvailable(), 50000);
}

// The real query on a 64 KiB tmpfs (16 pages of 4096 bytes), filled to a chosen level.
void TestCapture::freeSpaceOfARealVolume_data() {
    QTest::addColumn<int>("filled");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<qint64>("free");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("empty") << 0 << "/" << qint64(65536) << true;
    QTest::newRow("three pages left") << 13 * 4096 << "/" << qint64(12288) << true;
    QTest::newRow("two pages left") << 14 * 4096 << "/" << qint64(8192) << false;
    QTest::newRow("no such folder: the last figure stays")
        << 0 << "/missing/" << qint64(65536) << true;
}

void TestCapture::freeSpaceOfARealVolume() {
    QFETCH(int, filled);
    QFETCH(QString, folder);
    QFETCH(qint64, free);
    QFETCH(bool, allowed);
    if (!sandbox::privateMounts())
        QSKIP("mounting a small volume needs root");
    ControllerHarness h;
    h.realFreeSpace = true;
    const QString volume = h.programDir.filePath(QStringLiteral("volume"));
    QVERIFY(QDir().mkdir(volume));
    const QByteArray mountPoint = QFile::encodeName(volume);
    QVERIFY(::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") == 0);
    const auto unmount = qScopeGuard([&] { ::umount2(mountPoint.constData(), MNT_DETACH); });
    QVERIFY(writeFile(volume + QStringLiteral("/filler"), QByteArray(filled, 'x')));
    h.openMovie();
    Settings::current().snapshotsPath = volume + QStringLiteral("/");
    if (folder != QLatin1String("/")) {
        QVERIFY(h.capture.CaptureAllowed()); // a figure for the failed query to keep
        Settings::current().snapshotsPath = volume + folder;
    }

    QCOMPARE(h.capture.CaptureAllowed(), allowed);
    QCOMPARE(h.capture.freeBytesAvailable(), free);
    QCOMPARE(h.boxes.shown.size(), allowed ? 0 : 1);
}

void TestCapture::continuousToggleSwitchesTheOtherButtons() {
    ControllerHarness h;
    h.openMovie();
    h.capture.toggleContinuous();
    QVERIFY(h.capture.continuousRunning());
    QVERIFY(!h.view.controls[RecordingView::Single]);
    QVERIFY(!h.view.controls[RecordingView::Timed]);
    QVERIFY(h.view.controls[RecordingView::Continuous]);
    // On and off between two ticks takes no image.
    h.capture.toggleContinuous();
    h.tick();
    QCOMPARE(h.engine.snapshotRequests(), 0);
    QVERIFY(h.view.controls[RecordingView::Single]);
    QVERIFY(h.view.controls[RecordingView::Timed]);

    // A failed pre-check changes nothing.
    h.freeBytes = 100;
    h.capture.toggleContinuous();
    QVERIFY(!h.capture.continuousRunning());
    QVERIFY(h.view.controls[RecordingView::Single]);
}

void TestCapture::switchingOffSkipsThePreCheck() {
    ControllerHarness h;
    h.openMovie();
    h.startBothCaptures();
    h.freeSpaceQueries.clear();
    h.freeBytes = 0;
    h.capture.toggleContinuous();
    h.capture.toggleTimed();
    QVERIFY(!h.capture.continuousRunning());
    QVERIFY(!h.capture.timedRunning());
    QVERIFY(h.freeSpaceQueries.isEmpty());
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestCapture::bothModesCanRun() {
    ControllerHarness h;
    h.openMovie();
    Settings::current().hideIntervalPrompt = 1;
    h.capture.toggleContinuous();
    QVERIFY(!h.view.controls[RecordingView::Timed]);
    h.capture.toggleTimed(); // the menu stays enabled while continuous capture runs
    QVERIFY(h.capture.continuousRunning() && h.capture.timedRunning());
    QVERIFY(!h.view.controls[RecordingView::Continuous]);

    // Each toggle sets the other buttons from its own flag only.
    h.capture.toggleContinuous();
    QVERIFY(!h.capture.continuousRunning() && h.capture.timedRunning());
    QVERIFY(h.view.controls[RecordingView::Single]);
    QVERIFY(h.view.controls[RecordingView::Timed]);
}

void TestCapture::timedCaptureWithoutPromptUsesTheSetting_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<int>("interval");
    QTest::newRow("2500") << 2500 << 2500;
    // Values from a settings file edited by hand.
    QTest::newRow("beyond the range") << 70000 << 60000;
    QTest::newRow("negative") << -5 << 1000;
}

void TestCapture::timedCaptureWithoutPromptUsesTheSetting() {
    QFETCH(int, setting);
    QFETCH(int, interval);
    ControllerHarness h;
    h.openMovie();
    Settings::current().hideIntervalPrompt = 1;
    Settings::current().snapshotInterval = setting;
    h.capture.toggleTimed();
    QVERIFY(h.capture.timedRunning());
    QCOMPARE(h.intervalPrompts, 0);
    QCOMPARE(h.engine.snapshotRequests(), 1); // one at once
    QVERIFY(h.capture.snapshotsTimer().isActive());
    QCOMPARE(h.capture.snapshotsTimer().interval(), interval);
    QVERIFY(!h.view.controls[RecordingView::Single]);
    QVERIFY(!h.view.controls[RecordingView::Continuous]);
    h.capture.snapshotsTimer_Timer();
    QCOMPARE(h.engine.snapshotRequests(), 2);

    h.capture.toggleTimed();
    QVERIFY(!h.capture.timedRunning());
    QVERIFY(!h.capture.snapshotsTimer().isActive());
    QCOMPARE(h.engine.snapshotRequests(), 2);
    QVERIFY(h.view.controls[RecordingView::Single]);
}

void TestCapture::promptCancelledChangesNothing() {
    ControllerHarness h;
    h.openMovie();
    Settings::current().snapshotInterval = 5000;
    h.intervalAnswers = {QStringLiteral("1")};
    h.capture.toggleTimed();
    QVERIFY(!h.capture.timedRunning());
    QVERIFY(!h.capture.snapshotsTimer().isActive());
    QCOMPARE(h.engine.snapshotRequests(), 0);
    QCOMPARE(Settings::current().snapshotInterval, 5000);
    QVERIFY(h.view.controls[RecordingView::Single]);
}

void TestCapture::promptAcceptedStoresTheRoundedInterval() {
    ControllerHarness h;
    h.openMovie();
    h.intervalAnswers = {QStringLiteral("2500.5")};
    h.capture.toggleTimed();
    QVERIFY(h.capture.timedRunning());
    QCOMPARE(Settings::current().snapshotInterval, 2500);
    QCOMPARE(h.capture.snapshotsTimer().interval(), 2500);
    QCOMPARE(h.engine.snapshotRequests(), 1);
    // In memory only: nothing is written.
    QVERIFY(!QFileInfo::exists(h.programDir.filePath(QStringLiteral("Config.cfg"))));
}

void TestCapture::pauseInvertsTheTimedTimer() {
    ControllerHarness h;
    h.openMovie();
    Settings::current().hideIntervalPrompt = 1;
    h.capture.toggleTimed();
    QVERIFY(h.capture.snapshotsTimer().isActive());
    h.session.pause();
    QVERIFY(!h.capture.snapshotsTimer().isActive());
    h.session.play();
    QVERIFY(!h.capture.snapshotsTimer().isActive());
    h.session.pause();
    QVERIFY(h.capture.snapshotsTimer().isActive());
    QVERIFY(h.capture.timedRunning());
}

QTEST_GUILESS_MAIN(TestCapture)
#include "tst_capture.moc"
