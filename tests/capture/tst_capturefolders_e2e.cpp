// Where images of the real engine go, and what the user hears when they cannot go there: discs
// with hostile labels, read-only and vanishing folders, a path changed without reloading the disc.
#include "Fixtures.h"
#include "MainFormHarness.h"
#include "Sandbox.h"

#include "capture/SnapshotWriter.h"
#include "engine/VlcEngine.h"
#include "platform/posix/CdromDriveSource.h"
#include "support/TestFiles.h"
#include "ui/GlyphButton.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <sys/mount.h>

class TestCaptureFoldersE2E : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void hostileLabelStaysInsideTheSnapshotsPath_data();
    void hostileLabelStaysInsideTheSnapshotsPath();
    void readOnlyFolderIsToldOncePerRun();
    void vanishedFolderIsToldOnceAndWritingResumes();
    void fullDiskIsToldOnce();
    void pathChangedWithoutReloadStillReceivesImages();

private:
    // Puts disc image `iso` in drive D: with the label libblkid reads from it, opens it from the
    // File menu with `snapshots` as the snapshots path, and waits until it plays.
    void openDisc(const QString& iso, const QString& snapshots);
    QStringList notices() const;
    SnapshotWriter* writer() const { return &h->vlc->writer(); }

    std::unique_ptr<MainFormHarness> h;
    VlcEngine* vlc = nullptr; // owned by the harness
    std::unique_ptr<QTemporaryDir> shots;
};

void TestCaptureFoldersE2E::init() {
    if (!QFile::exists(fixture(QStringLiteral("label_parent.iso"))))
        QSKIP("the label discs were not authored (run through ctest)");
    shots = std::make_unique<QTemporaryDir>();
    h = std::make_unique<MainFormHarness>();
    h->startOnVlc(shots->path());
    vlc = &h->vlc->engine();
}

void TestCaptureFoldersE2E::cleanup() {
    h.reset();
    shots.reset();
}

void TestCaptureFoldersE2E::openDisc(const QString& iso, const QString& snapshots) {
    // The label as the drive list reads it from a device.
    const QString devices = shots->filePath(QStringLiteral("dev"));
    QVERIFY(QDir().mkpath(devices));
    QFile::remove(devices + QStringLiteral("/sr0"));
    QVERIFY(QFile::link(iso, devices + QStringLiteral("/sr0")));
    QVERIFY(writeFile(shots->filePath(QStringLiteral("info")), "drive name:\tsr0\n"));
    CdromDriveSource cdrom(shots->filePath(QStringLiteral("info")), devices);
    QString label;
    QVERIFY(cdrom.volumeLabel(QStringLiteral("D:"), &label));
    h->drives.insertDisc(QStringLiteral("D:"), label, iso);

    Settings::current().snapshotsPath = snapshots;
    MainForm& f = *h->form;
    f.BuildEngineOptions();
    probe(f).movieTimer->start();
    f.fileMenu_Click();
    // The menu shows the label as it was read.
    QCOMPARE(MainForm::dvdsListCaption(probe(f).dvdsList[0]), label + QStringLiteral(" (D:)"));
    f.dvdsList_Click(0);
    QVERIFY(h->boxes.shown.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(probe(f).fullScreenButton->isEnabled(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(vlc->frameStore()->latest() != nullptr, 5000);
}

QStringList TestCaptureFoldersE2E::notices() const {
    QCoreApplication::processEvents(); // the writer's reports arrive queued
    QStringList texts;
    for (const auto& box : h->boxes.notices)
        texts.append(box.title + QStringLiteral(" | ") + box.text);
    return texts;
}

void TestCaptureFoldersE2E::hostileLabelStaysInsideTheSnapshotsPath_data() {
    QTest::addColumn<QString>("iso");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("folder");
    QTest::newRow("../x") << "label_parent.iso"
                          << "../x"
                          << "___x Images";
    QTest::newRow("A/B") << "label_slash.iso"
                         << "A/B"
                         << "A_B Images";
    QTest::newRow("control characters") << "label_control.iso"
                                        << QStringLiteral("C\x01"
                                                          "D\tE")
                                        << "C_D_E Images";
}

void TestCaptureFoldersE2E::hostileLabelStaysInsideTheSnapshotsPath() {
    QFETCH(QString, iso);
    QFETCH(QString, label);
    QFETCH(QString, folder);
    const QString base = shots->filePath(QStringLiteral("base"));
    QVERIFY(QDir().mkpath(base));
    openDisc(fixture(iso), base + QDir::separator());
    QCOMPARE(h->form->session().currentDiscLabel(), label);

    h->form->snapshotButton_Click();
    QVERIFY(writer()->waitForIdle(10000));
    QCOMPARE(QDir(base).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{folder});
    QCOMPARE(QDir(base + u'/' + folder).entryList(QDir::Files),
             QStringList{QStringLiteral("IMG_00001.png")});
    // Nothing beside the snapshots path either.
    QCOMPARE(QDir(shots->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"base", "dev", "info"}));
    QVERIFY(notices().isEmpty());
}

void TestCaptureFoldersE2E::readOnlyFolderIsToldOncePerRun() {
    const QString base = shots->filePath(QStringLiteral("base"));
    const QString folder = base + QStringLiteral("/MOVIE Images");
    QVERIFY(QDir().mkpath(folder));
    if (!sandbox::makeReadOnly(folder))
        QSKIP("no way to make a read-only folder here");
    openDisc(fixture(QStringLiteral("movie.iso")), base);
    MainForm& f = *h->form;
    const QString told = QStringLiteral("Error | The images could not be saved in this folder:\n") +
                         QDir::toNativeSeparators(QDir::cleanPath(folder)) + u'\n';

    // Single snapshots: once for the same cause, however often.
    f.snapshotButton_Click();
    f.snapshotButton_Click();
    QVERIFY(writer()->waitForIdle(10000));
    QCOMPARE(notices().size(), 1);
    QVERIFY2(notices()[0].startsWith(told), qPrintable(notices()[0]));

    // A continuous run is told once, keeps running and stops as usual.
    f.continuousSnapshotsButton_Click();
    QTRY_VERIFY_WITH_TIMEOUT(writer()->counters().failed >= 20, 10000);
    QVERIFY(f.capture().continuousRunning());
    QVERIFY(!probe(f).snapshotButton->isEnabled());
    f.continuousSnapshotsButton_Click();
    QVERIFY(!f.capture().continuousRunning());
    QVERIFY(writer()->waitForIdle(10000));
    QCOMPARE(notices().size(), 2);
    QVERIFY(notices()[1].startsWith(told));
    QCOMPARE(writer()->counters().written, 0u);
    // The error log holds one record per message.
    const QByteArray log = readFile(h->programDir.filePath(QStringLiteral("errorlog.txt")));
    QCOMPARE(log.count("Method: snapshotCommand_Click"), 2);
    QVERIFY(h->boxes.shown.isEmpty());               // nothing modal
    ::umount(QFile::encodeName(folder).constData()); // root's read-only mount; no-op otherwise
}

void TestCaptureFoldersE2E::vanishedFolderIsToldOnceAndWritingResumes() {
    const QString base = shots->filePath(QStringLiteral("base"));
    QVERIFY(QDir().mkpath(base));
    openDisc(fixture(QStringLiteral("movie.iso")), base);
    MainForm& f = *h->form;
    const QDir images(base + QStringLiteral("/MOVIE Images"));

    f.continuousSnapshotsButton_Click();
    QTRY_VERIFY_WITH_TIMEOUT(images.entryList(QDir::Files).size() >= 5, 10000);
    // The whole snapshots path goes away (the writer may add a file while it is removed): nothing
    // can be written, the run goes on.
    QTRY_VERIFY_WITH_TIMEOUT(QDir(base).removeRecursively(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(notices().size() == 1, 10000);
    QVERIFY(notices()[0].contains(QDir::toNativeSeparators(images.path())));
    QTest::qWait(300);
    QCOMPARE(notices().size(), 1);
    QVERIFY(f.capture().continuousRunning());

    // Back again: the writer makes its folder anew and the images land there.
    QVERIFY(QDir().mkpath(base));
    QTRY_VERIFY_WITH_TIMEOUT(images.entryList(QDir::Files).size() >= 5, 10000);
    f.continuousSnapshotsButton_Click();
    QVERIFY(writer()->waitForIdle(10000));
    QCOMPARE(notices().size(), 1);
}

void TestCaptureFoldersE2E::fullDiskIsToldOnce() {
    const QString base = shots->filePath(QStringLiteral("base"));
    QVERIFY(QDir().mkpath(base));
    // Room for a few images of about 100 kB.
    if (!sandbox::mountTinyDisk(base, 600 * 1024))
        QSKIP("no way to mount a small disk here");
    openDisc(fixture(QStringLiteral("movie.iso")), base);
    MainForm& f = *h->form;
    f.continuousSnapshotsButton_Click();
    QTRY_VERIFY_WITH_TIMEOUT(writer()->counters().failed >= 20, 10000);
    QVERIFY(f.capture().continuousRunning());
    f.continuousSnapshotsButton_Click();
    QVERIFY(writer()->waitForIdle(10000));
    const QStringList images = QDir(base + QStringLiteral("/MOVIE Images")).entryList(QDir::Files);
    QVERIFY(!images.isEmpty());
    QCOMPARE(quint64(images.size()), writer()->counters().written); // no partial file left
    QCOMPARE(notices().size(), 1);
    QVERIFY2(notices()[0].contains(QStringLiteral("No space left on device")),
             qPrintable(notices()[0]));
    ::umount(QFile::encodeName(base).constData());
}

void TestCaptureFoldersE2E::pathChangedWithoutReloadStillReceivesImages() {
    const QString first = shots->filePath(QStringLiteral("first"));
    const QString second = shots->filePath(QStringLiteral("second"));
    QVERIFY(QDir().mkpath(first) && QDir().mkpath(second));
    openDisc(fixture(QStringLiteral("movie.iso")), first);
    // Options confirmed with another path, reload declined: the disc keeps its old option.
    Settings::current().snapshotsPath = second;
    h->form->BuildEngineOptions();

    h->form->snapshotButton_Click();
    QVERIFY(writer()->waitForIdle(10000));
    QCOMPARE(QDir(first + QStringLiteral("/MOVIE Images")).entryList(QDir::Files),
             QStringList{QStringLiteral("IMG_00001.png")});
    QVERIFY(notices().isEmpty());
}

int main(int argc, char* argv[]) {
    // Before any thread exists, so the engine's threads share the private mounts.
    sandbox::privateMounts();
    QApplication app(argc, argv);
    TestCaptureFoldersE2E test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_capturefolders_e2e.moc"
