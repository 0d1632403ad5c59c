// The File menu's drive list and opening a disc, against fake drives and a fake engine.
#include "MainFormHarness.h"

#include "playback/EngineOptions.h"
#include "ui/GlyphButton.h"

#include <QAction>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

namespace {
// The Open DVD submenu as shown, "-" for a separator.
QStringList openMenuEntries(const MainForm& f) {
    QStringList entries;
    for (const QAction* entry : f.openMenu->actions())
        entries << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    return entries;
}
const QString kImageEntry = QStringLiteral("DVD &Image or Folder...");
} // namespace

class TestDiscOpening : public QObject {
    Q_OBJECT
private slots:
    void engineOptionStrings_data();
    void engineOptionStrings();
    void driveMenuFollowsTheDrives();
    void choosingADriveLoadsItInOrder();
    void placeholderItemsAreInert();
    void discWithoutLabelAndLabelWithAmpersand();
    void choosingTheSameDriveAgainReloads();
    void engineRefusalShowsInvalidDvd();
    void lateFailureIsReportedOnceByThePositionTimer();
    void reloadUsesTheBareDriveName();
    void imageOrFolderOpensLikeADriveAndReloadsByItsPath();
};

void TestDiscOpening::engineOptionStrings_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("expected");
    const QString sep = QDir::separator();
    QTest::newRow("drive root keeps both separators")
        << "C:\\" << 0 << "MOVIE"
        << QStringList{"snapshot-prefix=IMG_", "snapshot-path=C:\\" + sep + "MOVIE Images",
                       "snapshot-format=PNG", "snapshot-sequential", "no-snapshot-preview"};
    QTest::newRow("home folder with trailing separator")
        << "/home/ann/" << 1 << "MOVIE"
        << QStringList{"snapshot-prefix=IMG_", "snapshot-path=/home/ann/" + sep + "MOVIE Images",
                       "snapshot-format=JPG", "snapshot-sequential", "no-snapshot-preview"};
    QTest::newRow("before any disc")
        << "/srv/shots" << 7 << ""
        << QStringList{"snapshot-prefix=IMG_", "snapshot-path=/srv/shots" + sep + " Images",
                       "snapshot-format=JPG", "snapshot-sequential", "no-snapshot-preview"};
    // A label is one folder-name component, whatever the disc says.
    const auto labelled = [&](const QString& folder) {
        return QStringList{"snapshot-prefix=IMG_", "snapshot-path=/srv" + sep + folder,
                           "snapshot-format=PNG", "snapshot-sequential", "no-snapshot-preview"};
    };
    QTest::newRow("parent folder label") << "/srv" << 0 << "../x" << labelled("___x Images");
    QTest::newRow("label with a separator") << "/srv" << 0 << "AC/DC" << labelled("AC_DC Images");
    QTest::newRow("label with a backslash") << "/srv" << 0 << "A\\B" << labelled("A_B Images");
    QTest::newRow("control characters")
        << "/srv" << 0 << QChar(1) + QString("A\tB\x7f\u0085C") << labelled("_A_B__C Images");
    QTest::newRow("dots and blanks around") << "/srv" << 0 << " .hid. " << labelled("_hid_ Images");
    QTest::newRow("dot dot") << "/srv" << 0 << ".." << labelled("__ Images");
}

void TestDiscOpening::engineOptionStrings() {
    QFETCH(QString, path);
    QFETCH(int, format);
    QFETCH(QString, label);
    QFETCH(QStringList, expected);
    Settings s = Settings::defaults();
    s.snapshotsPath = path;
    s.imageFormat = static_cast<quint8>(format);
    QCOMPARE(buildEngineOptions(s, label), expected);
}

void TestDiscOpening::driveMenuFollowsTheDrives() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"));
    h.drives.addDrive(QStringLiteral("E:"));
    f.fileMenu_Click();
    QCOMPARE(f.dvdsList.size(), 2);
    QCOMPARE(MainForm::dvdsListCaption(f.dvdsList[0]), QStringLiteral("MOVIE (D:)"));
    QCOMPARE(MainForm::dvdsListCaption(f.dvdsList[1]),
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
    QCOMPARE(f.dvdsList.size(), 1);
    QCOMPARE(openMenuEntries(f), (QStringList{"<No DVD drives were found>", "-", kImageEntry}));

    // Opening the menu for real rebuilds the list too.
    h.drives.insertDisc(QStringLiteral("F:"), QStringLiteral("OTHER"));
    emit f.fileMenu->aboutToShow();
    QCOMPARE(MainForm::dvdsListCaption(f.dvdsList[0]), QStringLiteral("OTHER (F:)"));
}

void TestDiscOpening::choosingADriveLoadsItInOrder() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.drives.addDrive(QStringLiteral("D:"));
    h.drives.insertDisc(QStringLiteral("E:"), QStringLiteral("MOVIE"));
    f.fileMenu_Click();
    h.engine.startsPlaying = false;
    h.sleeps.clear();

    f.dvdsList[1]->trigger();

    QCOMPARE(h.engine.calls, (QStringList{QStringLiteral("playlistClear"),
                                          QStringLiteral("addTarget"), QStringLiteral("play")}));
    QCOMPARE(h.engine.lastTarget, QStringLiteral("dvd://E:"));
    QCOMPARE(h.engine.lastMode, 2);
    QCOMPARE(h.engine.lastPosition, 0);
    QCOMPARE(h.engine.lastOptions.value(1), snapshotPathOption(Settings::current(), "MOVIE"));
    QCOMPARE(f.engineOptions, h.engine.lastOptions);
    QCOMPARE(h.sleeps, (QList<int>{500, 500, 500}));
    QCOMPARE(f.currentDrive, QStringLiteral("E:"));
    QCOMPARE(f.currentDiscLabel, QStringLiteral("MOVIE"));
    QCOMPARE(f.timeElapsed->text(), QStringLiteral("LOADING..."));
    QVERIFY(!f.logoHide->isHidden());
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestDiscOpening::placeholderItemsAreInert() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    const QString driveBefore = f.currentDrive;
    h.engine.calls.clear();
    h.boxes.shown.clear();

    // No drives at all: the single placeholder item.
    h.drives.removeDrive(QStringLiteral("D:"));
    f.fileMenu_Click();
    f.dvdsList_Click(0);
    // A drive without a disc.
    h.drives.addDrive(QStringLiteral("D:"));
    f.fileMenu_Click();
    f.dvdsList_Click(0);

    QVERIFY(h.engine.calls.isEmpty());
    QVERIFY(h.boxes.shown.isEmpty());
    QCOMPARE(f.currentDrive, driveBefore);
    QVERIFY(h.engine.isPlaying);
}

void TestDiscOpening::discWithoutLabelAndLabelWithAmpersand() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.drives.insertDisc(QStringLiteral("D:"), QString());
    h.drives.insertDisc(QStringLiteral("E:"), QStringLiteral("TOM & JERRY"));
    f.fileMenu_Click();
    QCOMPARE(MainForm::dvdsListCaption(f.dvdsList[0]), QStringLiteral(" (D:)"));
    QCOMPARE(f.dvdsList[1]->text(), QStringLiteral("TOM && JERRY (E:)"));

    f.dvdsList_Click(0);
    QCOMPARE(f.currentDiscLabel, QString());
    QVERIFY(h.engine.lastOptions.value(1).endsWith(QDir::separator() + QStringLiteral(" Images")));

    f.dvdsList_Click(1);
    QCOMPARE(f.currentDiscLabel, QStringLiteral("TOM & JERRY"));
}

void TestDiscOpening::choosingTheSameDriveAgainReloads() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    h.engine.calls.clear();
    f.dvdsList_Click(0);
    QCOMPARE(h.engine.calls, (QStringList{QStringLiteral("stop"), QStringLiteral("playlistClear"),
                                          QStringLiteral("playlistClear"),
                                          QStringLiteral("addTarget"), QStringLiteral("play")}));
}

void TestDiscOpening::engineRefusalShowsInvalidDvd() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("DATA"));
    f.fileMenu_Click();
    h.engine.failing = {QStringLiteral("play")};
    f.dvdsList_Click(0);

    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Please insert a valid DVD."));
    QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Stillbeck"));
    QCOMPARE(h.boxes.shown[0].icon, MessageBoxes::Icon::Critical);
    QCOMPARE(f.timeElapsed->text(), QString());
    // What was reached stays: the drive and label of the failed disc, the cover.
    QCOMPARE(f.currentDrive, QStringLiteral("D:"));
    QCOMPARE(f.currentDiscLabel, QStringLiteral("DATA"));
    QVERIFY(!f.logoHide->isHidden());

    // The application stays usable: another attempt goes through.
    h.engine.failing.clear();
    h.boxes.shown.clear();
    f.dvdsList_Click(0);
    QVERIFY(h.boxes.shown.isEmpty());
    QVERIFY(h.engine.isPlaying);
}

// The engine opens a disc on its own threads: a disc chosen while another played shows the
// loading text until the engine decides, and a medium it cannot play gives "07" once.
void TestDiscOpening::lateFailureIsReportedOnceByThePositionTimer() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    h.drives.insertDisc(QStringLiteral("E:"), QStringLiteral("DATA"));
    f.fileMenu_Click();
    h.engine.startsPlaying = false;
    f.dvdsList_Click(1);
    QVERIFY(h.boxes.shown.isEmpty());
    h.tick(3);
    QCOMPARE(f.timeElapsed->text(), QStringLiteral("LOADING..."));
    QVERIFY(!f.fullScreenButton->isEnabled());

    h.engine.hasFailed = true;
    h.tick(3);
    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Please insert a valid DVD."));
    QCOMPARE(f.timeElapsed->text(), QString());
    QVERIFY(!f.logoHide->isHidden());
}

void TestDiscOpening::reloadUsesTheBareDriveName() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    Settings::current().snapshotPrefix = QStringLiteral("SHOT");
    f.BuildEngineOptions();
    h.engine.calls.clear();
    f.reloadDisc();
    QCOMPARE(h.engine.lastTarget, QStringLiteral("D:"));
    QCOMPARE(h.engine.lastOptions.value(0), QStringLiteral("snapshot-prefix=SHOT"));
    QCOMPARE(h.engine.lastOptions.value(1), snapshotPathOption(Settings::current(), "MOVIE"));
    QCOMPARE(h.engine.calls, (QStringList{QStringLiteral("stop"), QStringLiteral("playlistClear"),
                                          QStringLiteral("playlistClear"),
                                          QStringLiteral("addTarget"), QStringLiteral("play")}));

    h.engine.failing = {QStringLiteral("addTarget")};
    f.reloadDisc();
    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Please insert a valid DVD."));
}

// The entry below the drives takes the disc from the file dialog; the folder's path stands where
// the drive name would, its name is the label.
void TestDiscOpening::imageOrFolderOpensLikeADriveAndReloadsByItsPath() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    QTemporaryDir rips;
    const QString disc = rips.filePath(QStringLiteral("My Film"));
    QVERIFY(QDir().mkpath(disc + QStringLiteral("/VIDEO_TS")));
    h.engine.calls.clear();

    // Cancelled: nothing changes.
    f.openImageOrFolder->trigger();
    QCOMPARE(h.discDialogTitles, QStringList{QStringLiteral("DVD Image or Folder")});
    QVERIFY(h.engine.calls.isEmpty());
    QCOMPARE(f.currentDrive, QStringLiteral("D:"));

    h.discChoice = disc + QStringLiteral("/VIDEO_TS");
    f.openImageOrFolder->trigger();
    QCOMPARE(h.engine.calls, (QStringList{QStringLiteral("stop"), QStringLiteral("playlistClear"),
                                          QStringLiteral("playlistClear"),
                                          QStringLiteral("addTarget"), QStringLiteral("play")}));
    QCOMPARE(h.engine.lastTarget, QStringLiteral("dvd://") + disc);
    QCOMPARE(h.engine.lastOptions.value(1), snapshotPathOption(Settings::current(), "My Film"));
    QCOMPARE(f.currentDrive, disc);
    QCOMPARE(f.currentDiscLabel, QStringLiteral("My Film"));
    QCOMPARE(f.timeElapsed->text(), QStringLiteral("LOADING..."));
    QVERIFY(h.boxes.shown.isEmpty());

    h.engine.loadTitle();
    h.tick();
    Settings::current().snapshotPrefix = QStringLiteral("SHOT");
    f.BuildEngineOptions();
    f.reloadDisc();
    QCOMPARE(h.engine.lastTarget, disc);
    QCOMPARE(h.engine.lastOptions.value(0), QStringLiteral("snapshot-prefix=SHOT"));
    QCOMPARE(h.engine.lastOptions.value(1), snapshotPathOption(Settings::current(), "My Film"));

    // Refused by the engine: "07", as for a drive.
    h.engine.failing = {QStringLiteral("addTarget")};
    f.openImageOrFolder->trigger();
    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Please insert a valid DVD."));
    QCOMPARE(f.timeElapsed->text(), QString());
}

QTEST_MAIN(TestDiscOpening)
#include "tst_discopening.moc"
