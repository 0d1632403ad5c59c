// The drive list and opening a disc, against fake drives and a fake engine.
#include "ControllerHarness.h"

#include "player/EngineOptions.h"
#include "settings/Settings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestDiscOpening : public QObject {
    Q_OBJECT
private slots:
    void engineOptionStrings_data();
    void engineOptionStrings();
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

void TestDiscOpening::choosingADriveLoadsItInOrder() {
    ControllerHarness h;
    h.drives.addDrive(QStringLiteral("D:"));
    h.drives.insertDisc(QStringLiteral("E:"), QStringLiteral("MOVIE"));
    h.session.listDrives();
    h.engine.startsPlaying = false;
    h.sleeps.clear();

    h.session.openDrive(1);

    QCOMPARE(h.engine.calls, (QStringList{QStringLiteral("playlistClear"),
                                          QStringLiteral("addTarget"), QStringLiteral("play")}));
    QCOMPARE(h.engine.lastTarget, QStringLiteral("dvd://E:"));
    QCOMPARE(h.engine.lastMode, 2);
    QCOMPARE(h.engine.lastPosition, 0);
    QCOMPARE(h.engine.lastOptions.value(1), snapshotPathOption(Settings::current(), "MOVIE"));
    QCOMPARE(h.session.engineOptions(), h.engine.lastOptions);
    QCOMPARE(h.sleeps, (QList<int>{500, 500, 500}));
    QCOMPARE(h.session.currentDrive(), QStringLiteral("E:"));
    QCOMPARE(h.session.currentDiscLabel(), QStringLiteral("MOVIE"));
    QCOMPARE(h.view.timeText, QStringLiteral("LOADING..."));
    QVERIFY(h.view.cover);
    QVERIFY(h.boxes.shown.isEmpty());
}

void TestDiscOpening::placeholderItemsAreInert() {
    ControllerHarness h;
    h.openMovie();
    const QString driveBefore = h.session.currentDrive();
    h.engine.calls.clear();
    h.boxes.shown.clear();

    // No drives at all: the single placeholder item.
    h.drives.removeDrive(QStringLiteral("D:"));
    h.session.listDrives();
    h.session.openDrive(0);
    // A drive without a disc.
    h.drives.addDrive(QStringLiteral("D:"));
    h.session.listDrives();
    h.session.openDrive(0);

    QVERIFY(h.engine.calls.isEmpty());
    QVERIFY(h.boxes.shown.isEmpty());
    QCOMPARE(h.session.currentDrive(), driveBefore);
    QVERIFY(h.engine.isPlaying);
}

void TestDiscOpening::discWithoutLabelAndLabelWithAmpersand() {
    ControllerHarness h;
    h.drives.insertDisc(QStringLiteral("D:"), QString());
    h.drives.insertDisc(QStringLiteral("E:"), QStringLiteral("TOM & JERRY"));
    h.session.listDrives();
    QCOMPARE(h.session.driveMenuCaptions(),
             (QStringList{QStringLiteral(" (D:)"), QStringLiteral("TOM & JERRY (E:)")}));

    h.session.openDrive(0);
    QCOMPARE(h.session.currentDiscLabel(), QString());
    QVERIFY(h.engine.lastOptions.value(1).endsWith(QDir::separator() + QStringLiteral(" Images")));

    h.session.openDrive(1);
    QCOMPARE(h.session.currentDiscLabel(), QStringLiteral("TOM & JERRY"));
}

void TestDiscOpening::choosingTheSameDriveAgainReloads() {
    ControllerHarness h;
    h.openMovie();
    h.engine.calls.clear();
    h.session.openDrive(0);
    QCOMPARE(h.engine.calls, (QStringList{QStringLiteral("stop"), QStringLiteral("playlistClear"),
                                          QStringLiteral("playlistClear"),
                                          QStringLiteral("addTarget"), QStringLiteral("play")}));
}

void TestDiscOpening::engineRefusalShowsInvalidDvd() {
    ControllerHarness h;
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("DATA"));
    h.session.listDrives();
    h.engine.failing = {QStringLiteral("play")};
    h.session.openDrive(0);

    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Please insert a valid DVD."));
    QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Stillbeck"));
    QCOMPARE(h.boxes.shown[0].icon, MessageBoxes::Icon::Critical);
    QCOMPARE(h.view.timeText, QString());
    // What was reached stays: the drive and label of the failed disc, the cover.
    QCOMPARE(h.session.currentDrive(), QStringLiteral("D:"));
    QCOMPARE(h.session.currentDiscLabel(), QStringLiteral("DATA"));
    QVERIFY(h.view.cover);

    // The application stays usable: another attempt goes through.
    h.engine.failing.clear();
    h.boxes.shown.clear();
    h.session.openDrive(0);
    QVERIFY(h.boxes.shown.isEmpty());
    QVERIFY(h.engine.isPlaying);
}

// The engine opens a disc on its own threads: a disc chosen while another played shows the
// loading text until the engine decides, and a medium it cannot play gives "07" once.
void TestDiscOpening::lateFailureIsReportedOnceByThePositionTimer() {
    ControllerHarness h;
    h.openMovie();
    h.drives.insertDisc(QStringLiteral("E:"), QStringLiteral("DATA"));
    h.session.listDrives();
    h.engine.startsPlaying = false;
    h.session.openDrive(1);
    QVERIFY(h.boxes.shown.isEmpty());
    h.tick(3);
    QCOMPARE(h.view.timeText, QStringLiteral("LOADING..."));
    QVERIFY(!h.session.controlsEnabled());

    h.engine.hasFailed = true;
    h.tick(3);
    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Please insert a valid DVD."));
    QCOMPARE(h.view.timeText, QString());
    QVERIFY(h.view.cover);
}

void TestDiscOpening::reloadUsesTheBareDriveName() {
    ControllerHarness h;
    h.openMovie();
    Settings::current().snapshotPrefix = QStringLiteral("SHOT");
    h.session.BuildEngineOptions();
    h.engine.calls.clear();
    h.session.reloadDisc();
    QCOMPARE(h.engine.lastTarget, QStringLiteral("D:"));
    QCOMPARE(h.engine.lastOptions.value(0), QStringLiteral("snapshot-prefix=SHOT"));
    QCOMPARE(h.engine.lastOptions.value(1), snapshotPathOption(Settings::current(), "MOVIE"));
    QCOMPARE(h.engine.calls, (QStringList{QStringLiteral("stop"), QStringLiteral("playlistClear"),
                                          QStringLiteral("playlistClear"),
                                          QStringLiteral("addTarget"), QStringLiteral("play")}));

    h.engine.failing = {QStringLiteral("addTarget")};
    h.session.reloadDisc();
    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Please insert a valid DVD."));
}

// A disc image or folder: the folder's path stands where the drive name would, its name is the
// label.
void TestDiscOpening::imageOrFolderOpensLikeADriveAndReloadsByItsPath() {
    ControllerHarness h;
    h.openMovie();
    QTemporaryDir rips;
    const QString disc = rips.filePath(QStringLiteral("My Film"));
    QVERIFY(QDir().mkpath(disc + QStringLiteral("/VIDEO_TS")));
    h.engine.calls.clear();

    h.session.openImageOrFolder(disc + QStringLiteral("/VIDEO_TS"));
    QCOMPARE(h.engine.calls, (QStringList{QStringLiteral("stop"), QStringLiteral("playlistClear"),
                                          QStringLiteral("playlistClear"),
                                          QStringLiteral("addTarget"), QStringLiteral("play")}));
    QCOMPARE(h.engine.lastTarget, QStringLiteral("dvd://") + disc);
    QCOMPARE(h.engine.lastOptions.value(1), snapshotPathOption(Settings::current(), "My Film"));
    QCOMPARE(h.session.currentDrive(), disc);
    QCOMPARE(h.session.currentDiscLabel(), QStringLiteral("My Film"));
    QCOMPARE(h.view.timeText, QStringLiteral("LOADING..."));
    QVERIFY(h.boxes.shown.isEmpty());

    h.engine.loadTitle();
    h.tick();
    Settings::current().snapshotPrefix = QStringLiteral("SHOT");
    h.session.BuildEngineOptions();
    h.session.reloadDisc();
    QCOMPARE(h.engine.lastTarget, disc);
    QCOMPARE(h.engine.lastOptions.value(0), QStringLiteral("snapshot-prefix=SHOT"));
    QCOMPARE(h.engine.lastOptions.value(1), snapshotPathOption(Settings::current(), "My Film"));

    // Refused by the engine: "07", as for a drive.
    h.engine.failing = {QStringLiteral("addTarget")};
    h.session.openImageOrFolder(disc);
    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Please insert a valid DVD."));
    QCOMPARE(h.view.timeText, QString());
}

QTEST_GUILESS_MAIN(TestDiscOpening)
#include "tst_discopening.moc"
