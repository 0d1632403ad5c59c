// Start-up order, single instance and shutdown of the main window.
#include "MainFormHarness.h"

#include "platform/InstanceLock.h"
#include "playback/VideoStage.h"
#include "ui/GlyphButton.h"
#include "ui/ProgressBar.h"
#include "ui/VolumeSlider.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTest>

class TestMainFormLifecycle : public QObject {
    Q_OBJECT
private slots:
    void anotherInstanceShowsOnlyTheWarningAndEnds();
    void staleLockOfADeadProcessIsTakenOver();
    void startStateOfTheControls();
    void bottomOffsetsAreRecordedInTwips();
    void missingConfigIsRecreatedAndReportedAfterStartUp();
    void recoveryThatCannotWriteSaysSo();
    void exitWithoutCaptureAsksNothing();
    void closeWhileCapturingAsksAndNoKeepsTheWindow();
    void closeWhileCapturingAndYesEndsTheProcess();
};

void TestMainFormLifecycle::anotherInstanceShowsOnlyTheWarningAndEnds() {
    MainFormHarness h(false);
    InstanceLock firstInstance(QStringLiteral("TarnwickStillbeck"), h.programDir.path());
    firstInstance.create();
    QVERIFY(firstInstance.held());
    // The harness's lock is a second lock object on the same name, as a second process would use.
    h.lock =
        std::make_unique<InstanceLock>(QStringLiteral("TarnwickStillbeck"), h.programDir.path());

    MainForm& form = h.start();

    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("The application is already running."));
    QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Warning"));
    QCOMPARE(h.boxes.shown[0].icon, MessageBoxes::Icon::Warning);
    QCOMPARE(h.endProcessCalls, 1);
    QVERIFY(!form.isVisible());
    QVERIFY(!h.lock->held());
    // Nothing after the instance test ran: the settings file was not even looked at.
    QVERIFY(!QFile::exists(h.programDir.filePath(QStringLiteral("Config.cfg"))));
    QVERIFY(!form.startUp() || !h.lock->held());
}

void TestMainFormLifecycle::staleLockOfADeadProcessIsTakenOver() {
    MainFormHarness h;
    // A lock file naming a process that cannot exist.
    QFile stale(h.lock->path());
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("2147483000\nstillbeck\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();

    h.start();

    QVERIFY(h.boxes.shown.isEmpty());
    QVERIFY(h.lock->held());
    QCOMPARE(h.endProcessCalls, 0);
}

void TestMainFormLifecycle::startStateOfTheControls() {
    MainFormHarness h;
    h.engine.vol = 37;
    MainForm& form = h.start();

    for (QWidget* w :
         QList<QWidget*>{form.playButton, form.pauseButton, form.stopButton, form.rewindButton,
                         form.ffButton, form.fullScreenButton, form.snapshotButton,
                         form.continuousSnapshotsButton, form.timedSnapshotsButton})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(!form.editMenu->menuAction()->isEnabled());
    QVERIFY(form.muteStatus->isEnabled());
    QVERIFY(form.volumeSlider->isEnabled());
    QVERIFY(form.fileMenu->menuAction()->isEnabled());
    QVERIFY(form.toolsMenu->menuAction()->isEnabled());
    QVERIFY(form.helpMenu->menuAction()->isEnabled());

    QCOMPARE(form.volumeSlider->value(), 37);
    QCOMPARE(form.toolTips->text(), QStringLiteral("Volume"));
    QVERIFY(h.engine.calls.filter(QStringLiteral("setVolume")).isEmpty());
    QCOMPARE(form.movieProgress->floatValue(), 0.0f);
    QCOMPARE(form.timeElapsed->text(), QString());
    QCOMPARE(form.logoHide->x(), form.stage->x());
    QCOMPARE(form.muteStatus->glyph(), QStringLiteral("U"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Stillbeck"));
    QCOMPARE(form.fileMenu->title(), QStringLiteral("&File"));
    QCOMPARE(form.openMenu->title(), QStringLiteral("&Open"));
    QCOMPARE(MainForm::dvdsListCaption(form.dvdsList[0]),
             QStringLiteral("<No DVD drives were found>"));
    QCOMPARE(form.snapshotCommand->shortcut(), QKeySequence(QStringLiteral("Ctrl+F1")));
    QCOMPARE(form.continuousSnapshots->shortcut(), QKeySequence(QStringLiteral("Ctrl+F2")));
    QCOMPARE(form.timedSnapshots->shortcut(), QKeySequence(QStringLiteral("Ctrl+F3")));
    QCOMPARE(form.fullScreenMenu->shortcut(), QKeySequence(QStringLiteral("Ctrl+F4")));
    QVERIFY(h.boxes.shown.isEmpty());
    QVERIFY(!form.continuousRunning);
    QVERIFY(!form.timedRunning);
}

void TestMainFormLifecycle::bottomOffsetsAreRecordedInTwips() {
    MainFormHarness h;
    MainForm& form = h.start();
    if (form.logicalDpiX() != 96)
        QSKIP("design offsets hold at 96 dpi");
    QCOMPARE(form.toolsFrameBottom, 968.0f);
    QCOMPARE(form.editTitleBottom, 1223.0f);
    QCOMPARE(form.controlFrameBottom, 1958.0f);
    QCOMPARE(form.mediaActionsTitleBottom, 2213.0f);
    QCOMPARE(form.timeElapsedBottom, 2198.0f);
    QCOMPARE(form.movieProgressBottom, 2468.0f);
}

void TestMainFormLifecycle::missingConfigIsRecreatedAndReportedAfterStartUp() {
    MainFormHarness h(false);
    MainForm& form = h.start();

    QVERIFY(QFile::exists(h.programDir.filePath(QStringLiteral("Config.cfg"))));
    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Error in the configuration file.\r"
                                                   "A new one was created with the defaults."));
    QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Error"));
    QCOMPARE(h.boxes.shown[0].icon, MessageBoxes::Icon::Critical);
    QCOMPARE(Settings::current(), Settings::defaults());
    // The engine options were built from the defaults before the message.
    QCOMPARE(form.engineOptions.value(0), QStringLiteral("snapshot-prefix=IMG_"));
    QCOMPARE(h.endProcessCalls, 0);
}

void TestMainFormLifecycle::recoveryThatCannotWriteSaysSo() {
    MainFormHarness h(false);
    // Where Config.cfg should be, nothing can be written.
    const QString config = h.programDir.filePath(QStringLiteral("Config.cfg"));
    QVERIFY(QDir().mkpath(config + QStringLiteral("/inside")));
    h.start();

    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Error in the configuration file.\r"
                                                   "A new one could not be written to:\r\r") +
                                        QDir::toNativeSeparators(config));
    QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Error"));
    QCOMPARE(Settings::current(), Settings::defaults());
}

void TestMainFormLifecycle::exitWithoutCaptureAsksNothing() {
    MainFormHarness h;
    MainForm& form = h.start();
    form.exitCommand_Click();
    QVERIFY(h.boxes.shown.isEmpty());
    QCOMPARE(h.endProcessCalls, 1);
}

void TestMainFormLifecycle::closeWhileCapturingAsksAndNoKeepsTheWindow() {
    MainFormHarness h;
    MainForm& form = h.start();
    form.show();
    form.timedRunning = true;
    h.boxes.answers = {MessageBoxes::Answer::No};

    QVERIFY(!form.close());

    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text,
             QStringLiteral("Capture process is running now, are you sure to exit?"));
    QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Stillbeck"));
    QCOMPARE(h.boxes.shown[0].icon, MessageBoxes::Icon::Warning);
    QCOMPARE(h.boxes.shown[0].buttons, MessageBoxes::Buttons::YesNo);
    QVERIFY(form.isVisible());
    QVERIFY(form.timedRunning);
    QCOMPARE(h.endProcessCalls, 0);

    // Exit from the menu behaves the same.
    h.boxes.answers = {MessageBoxes::Answer::No};
    form.exitCommand_Click();
    QVERIFY(form.isVisible());
    QCOMPARE(h.endProcessCalls, 0);
}

void TestMainFormLifecycle::closeWhileCapturingAndYesEndsTheProcess() {
    MainFormHarness h;
    MainForm& form = h.start();
    form.show();
    form.continuousRunning = true;
    h.boxes.answers = {MessageBoxes::Answer::Yes};
    QVERIFY(form.close());
    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.endProcessCalls, 1);
}

QTEST_MAIN(TestMainFormLifecycle)
#include "tst_mainform_lifecycle.moc"
