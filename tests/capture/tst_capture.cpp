// The capture routine, its pre-check, and continuous and timed capture on a fake engine.
#include "MainFormHarness.h"

#include "support/Sandbox.h"
#include "support/TestFiles.h"
#include "ui/GlyphButton.h"
#include "ui/TimedSnapshotsDialog.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <sys/mount.h>

namespace {
// Answers the interval prompt as soon as it is shown: types text and presses OK, or cancels.
void answerPrompt(MainForm& f, const QString& text, bool ok = true) {
    QTimer::singleShot(0, &f, [&f, text, ok] {
        TimedSnapshotsDialog* prompt = f.timedSnapshotsDialog();
        QTRY_VERIFY(prompt->isVisible());
        if (ok) {
            prompt->milliseconds->setText(text);
            prompt->OKButton->click();
        } else {
            prompt->CancelButton->click();
        }
    });
}
} // namespace

class TestCapture : public QObject {
    Q_OBJECT
private slots:
    void singleSnapshotCreatesTheFolderAndPressesTheKey();
    void folderThatCannotBeCreatedSkipsTheCapture();
    void preCheckBoundaries();
    void failedFreeSpaceQueryKeepsTheLastFigure();
    void freeSpaceOfARealVolume_data();
    void freeSpaceOfARealVolume();
    void menuCommandCapturesWithoutChecks();
    void continuousToggleSwitchesTheOtherButtons();
    void switchingOffSkipsThePreCheck();
    void bothModesFromTheEditMenu();
    void timedCaptureWithoutPromptUsesTheSetting_data();
    void timedCaptureWithoutPromptUsesTheSetting();
    void promptCancelledChangesNothing();
    void promptAcceptedStoresTheRoundedInterval();
    void pauseInvertsTheTimedTimer();
    void editMenuShortcutsNeedTheMenuEnabled();
};

void TestCapture::singleSnapshotCreatesTheFolderAndPressesTheKey() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    const QString folder = h.programDir.filePath(QStringLiteral("MOVIE Images"));
    QVERIFY(!QFileInfo::exists(folder));

    f.snapshotButton_Click();
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(h.engine.variables,
             (QList<QPair<QString, qint32>>{{QStringLiteral("key-snapshot"), 83},
                                            {QStringLiteral("key-pressed"), 83}}));
    QCOMPARE(h.freeSpaceQueries, QStringList{Settings::current().snapshotsPath});

    // An existing folder is left alone, files in it included.
    QFile keep(folder + QStringLiteral("/IMG_00001.png"));
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.close();
    f.snapshotButton_Click();
    QVERIFY(keep.exists());
    QCOMPARE(h.engine.snapshotRequests(), 2);

    // Engine errors are swallowed.
    h.engine.failing = {QStringLiteral("setVariable")};
    f.snapshotButton_Click();
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestCapture::folderThatCannotBeCreatedSkipsTheCapture() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    // Only the last level is created: a missing parent means no folder and no request.
    Settings::current().snapshotsPath = h.programDir.filePath(QStringLiteral("gone/deeper"));
    f.snapshotCommand_Click();
    QVERIFY(!QFileInfo::exists(h.programDir.filePath(QStringLiteral("gone"))));
    QCOMPARE(h.engine.snapshotRequests(), 0);
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestCapture::preCheckBoundaries() {
    MainFormHarness h;
    MainForm& f = h.start();
    // No title: false, silently, without even asking for the free space.
    QVERIFY(!f.CaptureAllowed());
    QVERIFY(h.freeSpaceQueries.isEmpty());
    QVERIFY(h.boxes.shown.isEmpty());

    h.openMovie();
    h.engine.pos = 0.0f; // the very start counts as loaded
    h.freeBytes = 10239;
    f.snapshotButton_Click();
    QCOMPARE(h.engine.snapshotRequests(), 0);
    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0],
             (ScriptedMessageBoxes::Box{QStringLiteral("Insufficient disk space."),
                                        QStringLiteral("Error"), MessageBoxes::Icon::Critical,
                                        MessageBoxes::Buttons::Ok}));
    h.freeBytes = 10240;
    f.snapshotButton_Click();
    QCOMPARE(h.engine.snapshotRequests(), 1);
    QCOMPARE(h.boxes.shown.size(), 1);

    // A position that cannot be read counts as no title.
    h.engine.failing = {QStringLiteral("position")};
    QVERIFY(!f.CaptureAllowed());
}

void TestCapture::failedFreeSpaceQueryKeepsTheLastFigure() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    h.freeSpaceQueryFails = true; // nothing known yet: 0 bytes
    QVERIFY(!f.CaptureAllowed());
    QCOMPARE(h.boxes.shown.size(), 1);

    h.freeSpaceQueryFails = false;
    h.freeBytes = 50000;
    QVERIFY(f.CaptureAllowed());
    QCOMPARE(f.freeBytesAvailable, 50000);
    h.freeSpaceQueryFails = true;
    h.freeBytes = 0;
    QVERIFY(f.CaptureAllowed());
    QCOMPARE(f.freeBytesAvailable, 50000);
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
    MainFormHarness h;
    h.realFreeSpace = true;
    const QString volume = h.programDir.filePath(QStringLiteral("volume"));
    QVERIFY(QDir().mkdir(volume));
    const QByteArray mountPoint = QFile::encodeName(volume);
    QVERIFY(::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") == 0);
    const auto unmount = qScopeGuard([&] { ::umount2(mountPoint.constData(), MNT_DETACH); });
    QVERIFY(writeFile(volume + QStringLiteral("/filler"), QByteArray(filled, 'x')));
    MainForm& f = h.start();
    h.openMovie();
    Settings::current().snapshotsPath = volume + QStringLiteral("/");
    if (folder != QLatin1String("/")) {
        QVERIFY(f.CaptureAllowed()); // a figure for the failed query to keep
        Settings::current().snapshotsPath = volume + folder;
    }

    QCOMPARE(f.CaptureAllowed(), allowed);
    QCOMPARE(f.freeBytesAvailable, free);
    QCOMPARE(h.boxes.shown.size(), allowed ? 0 : 1);
}

void TestCapture::menuCommandCapturesWithoutChecks() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    h.freeBytes = 0;
    h.engine.pos = -1.0f;
    f.snapshotCommand->trigger();
    QCOMPARE(h.engine.snapshotRequests(), 1);
    QVERIFY(h.freeSpaceQueries.isEmpty());
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestCapture::continuousToggleSwitchesTheOtherButtons() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    f.continuousSnapshotsButton_Click();
    QVERIFY(f.continuousRunning);
    QVERIFY(!f.snapshotButton->isEnabled());
    QVERIFY(!f.timedSnapshotsButton->isEnabled());
    QVERIFY(f.continuousSnapshotsButton->isEnabled());
    // On and off between two ticks takes no image.
    f.continuousSnapshotsButton_Click();
    h.tick();
    QCOMPARE(h.engine.snapshotRequests(), 0);
    QVERIFY(f.snapshotButton->isEnabled());
    QVERIFY(f.timedSnapshotsButton->isEnabled());

    // A failed pre-check changes nothing.
    h.freeBytes = 100;
    f.continuousSnapshotsButton_Click();
    QVERIFY(!f.continuousRunning);
    QVERIFY(f.snapshotButton->isEnabled());
}

void TestCapture::switchingOffSkipsThePreCheck() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    Settings::current().hideIntervalPrompt = 1;
    f.continuousSnapshotsButton_Click();
    f.timedSnapshots_Click();
    h.freeSpaceQueries.clear();
    h.freeBytes = 0;
    f.continuousSnapshotsButton_Click();
    f.timedSnapshotsButton_Click();
    QVERIFY(!f.continuousRunning);
    QVERIFY(!f.timedRunning);
    QVERIFY(h.freeSpaceQueries.isEmpty());
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestCapture::bothModesFromTheEditMenu() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    Settings::current().hideIntervalPrompt = 1;
    f.continuousSnapshots->trigger();
    QVERIFY(!f.timedSnapshotsButton->isEnabled());
    f.timedSnapshots->trigger(); // the menu stays enabled while continuous capture runs
    QVERIFY(f.continuousRunning && f.timedRunning);
    QVERIFY(!f.continuousSnapshotsButton->isEnabled());

    // Each toggle sets the other buttons from its own flag only.
    f.continuousSnapshots->trigger();
    QVERIFY(!f.continuousRunning && f.timedRunning);
    QVERIFY(f.snapshotButton->isEnabled());
    QVERIFY(f.timedSnapshotsButton->isEnabled());
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
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    Settings::current().hideIntervalPrompt = 1;
    Settings::current().snapshotInterval = setting;
    f.timedSnapshotsButton_Click();
    QVERIFY(f.timedRunning);
    QVERIFY(!f.timedSnapshotsDialog()->isVisible());
    QCOMPARE(h.engine.snapshotRequests(), 1); // one at once
    QVERIFY(f.snapshotsTimer->isActive());
    QCOMPARE(f.snapshotsTimer->interval(), interval);
    QVERIFY(!f.snapshotButton->isEnabled());
    QVERIFY(!f.continuousSnapshotsButton->isEnabled());
    f.snapshotsTimer_Timer();
    QCOMPARE(h.engine.snapshotRequests(), 2);

    f.timedSnapshotsButton_Click();
    QVERIFY(!f.timedRunning);
    QVERIFY(!f.snapshotsTimer->isActive());
    QCOMPARE(h.engine.snapshotRequests(), 2);
    QVERIFY(f.snapshotButton->isEnabled());
}

void TestCapture::promptCancelledChangesNothing() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    Settings::current().snapshotInterval = 5000;
    answerPrompt(f, QString(), false);
    f.timedSnapshotsButton_Click();
    QVERIFY(!f.timedRunning);
    QVERIFY(!f.snapshotsTimer->isActive());
    QCOMPARE(h.engine.snapshotRequests(), 0);
    QCOMPARE(Settings::current().snapshotInterval, 5000);
    QVERIFY(f.snapshotButton->isEnabled());
}

void TestCapture::promptAcceptedStoresTheRoundedInterval() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    answerPrompt(f, QStringLiteral("2500.5"));
    f.timedSnapshotsButton_Click();
    QVERIFY(f.timedRunning);
    QCOMPARE(Settings::current().snapshotInterval, 2500);
    QCOMPARE(f.snapshotsTimer->interval(), 2500);
    QCOMPARE(h.engine.snapshotRequests(), 1);
    // In memory only: the settings file still holds the interval it was read with.
    QFile config(h.programDir.filePath(QStringLiteral("Config.cfg")));
    QVERIFY(config.open(QIODevice::ReadOnly));
    QVERIFY(config.readAll().contains("\r\n5000\r\n"));
}

void TestCapture::pauseInvertsTheTimedTimer() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    Settings::current().hideIntervalPrompt = 1;
    f.timedSnapshotsButton_Click();
    QVERIFY(f.snapshotsTimer->isActive());
    f.pauseButton_Click();
    QVERIFY(!f.snapshotsTimer->isActive());
    f.playButton_Click();
    QVERIFY(!f.snapshotsTimer->isActive());
    f.pauseButton_Click();
    QVERIFY(f.snapshotsTimer->isActive());
    QVERIFY(f.timedRunning);
}

void TestCapture::editMenuShortcutsNeedTheMenuEnabled() {
    MainFormHarness h;
    MainForm& f = h.start();
    QVERIFY(!f.editMenu->menuAction()->isEnabled());
    f.snapshotCommand->trigger();
    f.continuousSnapshots->trigger();
    QCOMPARE(h.engine.snapshotRequests(), 0);
    QVERIFY(!f.continuousRunning);
}

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
