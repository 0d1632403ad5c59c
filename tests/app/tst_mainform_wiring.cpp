// The real window's handlers reach the player session and the capture controller, and the window
// shows what they tell it: the control states of each phase, the menus, the sound button, the
// volume slider, the position bar and the interval prompt.
#include "MainFormHarness.h"

#include "ui/GlyphButton.h"
#include "ui/ProgressBar.h"
#include "ui/TimedSnapshotsDialog.h"
#include "ui/VolumeSlider.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
// Enabled state of the controls in the order play, pause, rewind, ff, stop, full screen,
// single, continuous, timed, Edit menu.
QList<bool> controlStates(const MainForm& f) {
    return {
        probe(f).playButton->isEnabled(),           probe(f).pauseButton->isEnabled(),
        probe(f).rewindButton->isEnabled(),         probe(f).ffButton->isEnabled(),
        probe(f).stopButton->isEnabled(),           probe(f).fullScreenButton->isEnabled(),
        probe(f).snapshotButton->isEnabled(),       probe(f).continuousSnapshotsButton->isEnabled(),
        probe(f).timedSnapshotsButton->isEnabled(), probe(f).editMenu->menuAction()->isEnabled()};
}
const QList<bool> kNoDisc{false, false, false, false, false, false, false, false, false, false};
const QList<bool> kLoading{false, true, true, true, false, false, false, false, false, false};
const QList<bool> kPlaying{true, true, true, true, true, true, true, true, true, true};
const QList<bool> kPaused{true, false, false, false, true, true, true, true, true, true};
// The Open DVD submenu as shown, "-" for a separator.
QStringList openMenuEntries(const MainForm& f) {
    QStringList entries;
    for (const QAction* entry : probe(f).openMenu->actions())
        entries << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    return entries;
}
const QString kImageEntry = QStringLiteral("DVD &Image or Folder...");
} // namespace

class TestMainFormWiring : public QObject {
    Q_OBJECT
private slots:
    void phasesFromNoDiscThroughPausedAndBack();
    void loadingHoldsAcrossALanguageChange();
    void editMenuCommands();
    void soundButtonAndVolumeSlider();
    void clickOnThePositionBarSeeks();
    void positionTimerRunsOnItsOwn();
    void driveMenuFollowsTheDrives();
    void driveItemsShowAmpersandsAndOpenTheirDisc();
    void imageOrFolderEntryAsksForTheDisc();
    void timedCaptureAsksTheWindowsPrompt();
};

void TestMainFormWiring::phasesFromNoDiscThroughPausedAndBack() {
    MainFormHarness h;
    MainForm& f = h.start();
    QCOMPARE(controlStates(f), kNoDisc);
    QVERIFY(!probe(f).logoHide->isHidden());

    h.engine.startsPlaying = false;
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"));
    f.fileMenu_Click();
    f.dvdsList_Click(0);
    h.tick(3);
    QCOMPARE(controlStates(f), kLoading);
    QCOMPARE(probe(f).timeElapsed->text(), QStringLiteral("LOADING..."));
    QVERIFY(!probe(f).logoHide->isHidden());

    h.engine.loadTitle(20);
    h.engine.seconds = 7;
    h.tick();
    QCOMPARE(controlStates(f), kPlaying);
    QVERIFY(probe(f).logoHide->isHidden());
    QCOMPARE(probe(f).timeElapsed->text(), QStringLiteral("00:00:07 / 00:00:20"));

    f.pauseButton_Click();
    h.engine.seconds = 9; // a paused engine keeps the label as it was
    h.tick();
    QCOMPARE(controlStates(f), kPaused);
    QVERIFY(probe(f).logoHide->isHidden());
    QCOMPARE(probe(f).timeElapsed->text(), QStringLiteral("00:00:07 / 00:00:20"));

    f.playButton_Click();
    h.tick();
    QCOMPARE(controlStates(f), kPlaying);

    f.stopButton_Click();
    QCOMPARE(probe(f).timeElapsed->text(), QString());
    QCOMPARE(probe(f).movieProgress->floatValue(), 0.0f);
    h.tick();
    QCOMPARE(controlStates(f), kNoDisc);
    QVERIFY(!probe(f).logoHide->isHidden());
}

// The window knows a disc is loading from the session, not from the words it shows: a pack
// that now names the state differently does not let a stop through.
void TestMainFormWiring::loadingHoldsAcrossALanguageChange() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    h.drives.insertDisc(QStringLiteral("E:"), QStringLiteral("OTHER"));
    f.fileMenu_Click();
    h.engine.startsPlaying = false;
    f.dvdsList_Click(1);
    QCOMPARE(probe(f).timeElapsed->text(), QStringLiteral("LOADING..."));
    QVERIFY(QDir(h.programDir.path()).mkdir(QStringLiteral("Lang")));
    QFile pack(h.programDir.filePath(QStringLiteral("Lang/English.ini")));
    QVERIFY(pack.open(QIODevice::WriteOnly));
    pack.write("[Stillbeck Language Pack]\r\n020=LADEN...\r\n");
    pack.close();
    h.engine.pos = 0.0f;
    h.engine.calls.clear();
    f.stopButton_Click();
    QVERIFY(h.engine.calls.isEmpty());
    QCOMPARE(probe(f).timeElapsed->text(), QStringLiteral("LOADING..."));
}

void TestMainFormWiring::editMenuCommands() {
    MainFormHarness h;
    MainForm& f = h.start();
    // Their shortcuts act only while the menu is enabled.
    QVERIFY(!probe(f).editMenu->menuAction()->isEnabled());
    probe(f).snapshotCommand->trigger();
    probe(f).continuousSnapshots->trigger();
    probe(f).fullScreenMenu->trigger();
    QVERIFY(h.engine.calls.isEmpty());
    QVERIFY(!f.capture().continuousRunning());

    h.openMovie();
    h.engine.calls.clear();
    probe(f).fullScreenMenu->trigger();
    QCOMPARE(h.engine.calls, QStringList{QStringLiteral("fullscreen")});
    // The menu's snapshot runs no checks, unlike the button.
    h.freeBytes = 0;
    probe(f).snapshotCommand->trigger();
    QCOMPARE(h.engine.snapshotRequests(), 1);
    QVERIFY(h.freeSpaceQueries.isEmpty());
    probe(f).continuousSnapshots->trigger();
    QVERIFY(!f.capture().continuousRunning());
    QCOMPARE(h.boxes.shown.size(), 1);
}

void TestMainFormWiring::soundButtonAndVolumeSlider() {
    MainFormHarness h;
    MainForm& f = h.start();
    f.muteStatus_Click();
    QCOMPARE(probe(f).muteStatus->glyph(), QStringLiteral("V"));
    QVERIFY(h.engine.muted);
    f.muteStatus_MouseMove(0, 0, 1, 1);
    QCOMPARE(probe(f).toolTips->text(), QStringLiteral("Sound"));

    // A move without the left button shows the hint only.
    f.toolTipTimer_Timer();
    probe(f).volumeSlider->setValue(80);
    f.volumeSlider_MouseMove(0, 0, 10, 5);
    QCOMPARE(probe(f).toolTips->text(), QStringLiteral("Volume"));
    QVERIFY(probe(f).toolTipTimer->isActive());
    QCOMPARE(h.engine.vol, 50);

    // A real drag over the widget brings the sound back and sets the thumb's new value.
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    probe(f).volumeSlider->setValue(0); // the thumb at the left end, where the press grabs it
    const QPoint start(2, probe(f).volumeSlider->height() / 2);
    QTest::mousePress(probe(f).volumeSlider, Qt::LeftButton, {}, start);
    QMouseEvent move(
        QEvent::MouseMove, QPointF(probe(f).volumeSlider->width() - 2, start.y()),
        probe(f).volumeSlider->mapToGlobal(QPointF(probe(f).volumeSlider->width() - 2, start.y())),
        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(probe(f).volumeSlider, &move);
    QTest::mouseRelease(probe(f).volumeSlider, Qt::LeftButton, {},
                        QPoint(probe(f).volumeSlider->width() - 2, start.y()));
    QCOMPARE(probe(f).muteStatus->glyph(), QStringLiteral("U"));
    QVERIFY(!h.engine.muted);
    QCOMPARE(h.engine.vol, probe(f).volumeSlider->value());
    QCOMPARE(probe(f).volumeSlider->selLength(), probe(f).volumeSlider->value());
    QVERIFY(h.engine.vol > 50);
}

void TestMainFormWiring::clickOnThePositionBarSeeks() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTest::mouseClick(probe(f).movieProgress, Qt::LeftButton, {},
                      QPoint(probe(f).movieProgress->width() / 4, 3));
    QVERIFY(qAbs(h.engine.pos - 0.25f) < 0.01f);
}

// The position timer rests while there is no disc, and a disc being opened wakes it.
void TestMainFormWiring::positionTimerRunsOnItsOwn() {
    MainFormHarness h;
    MainForm& f = h.start();
    probe(f).movieTimer->start();
    QTRY_VERIFY(!probe(f).movieTimer->isActive());
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"));
    f.fileMenu_Click();
    h.engine.startsPlaying = false;
    f.dvdsList_Click(0);
    QVERIFY(probe(f).movieTimer->isActive());
    h.engine.loadTitle();
    QTRY_VERIFY(probe(f).fullScreenButton->isEnabled());
    // Stopped, it rests again once the controls are off.
    f.stopButton_Click();
    QTRY_VERIFY(!probe(f).movieTimer->isActive());
    QVERIFY(!probe(f).fullScreenButton->isEnabled());
}

void TestMainFormWiring::driveMenuFollowsTheDrives() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"));
    h.drives.addDrive(QStringLiteral("E:"));
    f.fileMenu_Click();
    QCOMPARE(probe(f).dvdsList.size(), 2);
    QCOMPARE(MainForm::dvdsListCaption(probe(f).dvdsList[0]), QStringLiteral("MOVIE (D:)"));
    QCOMPARE(MainForm::dvdsListCaption(probe(f).dvdsList[1]),
             QStringLiteral("<Please insert a DVD> (E:)"));
    // The drives first, then the entry for images and folders below a separator.
    QCOMPARE(openMenuEntries(f),
             (QStringList{"MOVIE (D:)", "<Please insert a DVD> (E:)", "-", kImageEntry}));

    h.drives.ejectDisc(QStringLiteral("D:"));
    h.drives.addDrive(QStringLiteral("F:"));
    f.fileMenu_Click();
    QCOMPARE(openMenuEntries(f),
             (QStringList{"<Please insert a DVD> (D:)", "<Please insert a DVD> (E:)",
                          "<Please insert a DVD> (F:)", "-", kImageEntry}));

    h.drives.removeDrive(QStringLiteral("D:"));
    h.drives.removeDrive(QStringLiteral("E:"));
    h.drives.removeDrive(QStringLiteral("F:"));
    f.fileMenu_Click();
    QCOMPARE(probe(f).dvdsList.size(), 1);
    QCOMPARE(openMenuEntries(f), (QStringList{"<No DVD drives were found>", "-", kImageEntry}));

    // Opening the menu for real rebuilds the list too.
    h.drives.insertDisc(QStringLiteral("F:"), QStringLiteral("OTHER"));
    emit probe(f).fileMenu->aboutToShow();
    QCOMPARE(MainForm::dvdsListCaption(probe(f).dvdsList[0]), QStringLiteral("OTHER (F:)"));
}

void TestMainFormWiring::driveItemsShowAmpersandsAndOpenTheirDisc() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.drives.insertDisc(QStringLiteral("D:"), QString());
    h.drives.insertDisc(QStringLiteral("E:"), QStringLiteral("TOM & JERRY"));
    f.fileMenu_Click();
    QCOMPARE(MainForm::dvdsListCaption(probe(f).dvdsList[0]), QStringLiteral(" (D:)"));
    QCOMPARE(probe(f).dvdsList[1]->text(), QStringLiteral("TOM && JERRY (E:)"));
    probe(f).dvdsList[1]->trigger();
    QCOMPARE(f.session().currentDiscLabel(), QStringLiteral("TOM & JERRY"));
    QCOMPARE(h.engine.lastTarget, QStringLiteral("dvd://E:"));
}

// The entry below the drives asks for the disc in a dialog named like the entry; a cancel
// changes nothing.
void TestMainFormWiring::imageOrFolderEntryAsksForTheDisc() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    QTemporaryDir rips;
    const QString disc = rips.filePath(QStringLiteral("My Film"));
    QVERIFY(QDir().mkpath(disc + QStringLiteral("/VIDEO_TS")));
    h.engine.calls.clear();
    probe(f).openImageOrFolder->trigger();
    QCOMPARE(h.discDialogTitles, QStringList{QStringLiteral("DVD Image or Folder")});
    QVERIFY(h.engine.calls.isEmpty());

    h.discChoice = disc + QStringLiteral("/VIDEO_TS");
    probe(f).openImageOrFolder->trigger();
    QCOMPARE(h.engine.lastTarget, QStringLiteral("dvd://") + disc);
    QCOMPARE(probe(f).timeElapsed->text(), QStringLiteral("LOADING..."));
}

// Timed capture asks through the window's own prompt, and the typed interval is used.
void TestMainFormWiring::timedCaptureAsksTheWindowsPrompt() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    QTimer::singleShot(0, &f, [&f] {
        TimedSnapshotsDialog* prompt = f.timedSnapshotsDialog();
        QTRY_VERIFY(prompt->isVisible());
        prompt->milliseconds->setText(QStringLiteral("2500.5"));
        prompt->OKButton->click();
    });
    f.timedSnapshotsButton_Click();
    QVERIFY(f.capture().timedRunning());
    QCOMPARE(f.capture().snapshotsTimer().interval(), 2500);
    QVERIFY(!probe(f).snapshotButton->isEnabled());
    QVERIFY(!probe(f).continuousSnapshotsButton->isEnabled());
}

QTEST_MAIN(TestMainFormWiring)
#include "tst_mainform_wiring.moc"
