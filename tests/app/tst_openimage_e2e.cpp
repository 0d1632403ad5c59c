// Ripped discs opened from the File menu (a DVD image, a VIDEO_TS folder or the folder holding
// it), played and captured by the real libVLC engine like a disc in a drive.
#include "Fixtures.h"
#include "MainFormHarness.h"

#include "capture/SnapshotWriter.h"
#include "engine/VlcEngine.h"
#include "support/ModalRun.h"
#include "support/TestFiles.h"
#include "ui/GlyphButton.h"
#include "ui/OptionsDialog.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

class TestOpenImageE2E : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void playsAndCapturesIntoTheLabelsFolder_data();
    void playsAndCapturesIntoTheLabelsFolder();
    void aFileThatIsNoDvdVideoGivesInvalidDvd_data();
    void aFileThatIsNoDvdVideoGivesInvalidDvd();
    void reloadAfterOptionsKeepsTheFolder();

private:
    // Picks path in the File menu's dialog and waits until the title plays.
    bool openAndPlay(const QString& path);
    QImage takeSnapshot(const QString& file);

    std::unique_ptr<MainFormHarness> h;
    VlcEngine* vlc = nullptr; // owned by the harness
    SnapshotWriter* writer = nullptr;
    QTemporaryDir shots;
    QTemporaryDir scratch;
};

void TestOpenImageE2E::init() {
    if (!QFile::exists(fixture(QStringLiteral("movie.iso"))))
        QSKIP("the DVD fixture was not authored (run through ctest)");
    h = std::make_unique<MainFormHarness>();
    // A machine without any drive: the image or folder is the only way to a disc.
    h->startOnVlc(shots.path());
    vlc = &h->vlc->engine();
    writer = &h->vlc->writer();
}

void TestOpenImageE2E::cleanup() {
    h.reset();
    QDir(shots.path()).removeRecursively();
    QDir().mkpath(shots.path());
}

bool TestOpenImageE2E::openAndPlay(const QString& path) {
    MainForm& f = *h->form;
    h->discChoice = path;
    f.fileMenu_Click();
    probe(f).openImageOrFolder->trigger();
    if (probe(f).timeElapsed->text() != QStringLiteral("LOADING..."))
        return false;
    // The cover goes once the title plays.
    (void)QTest::qWaitFor(
        [&] { return probe(f).logoHide->isHidden() || !h->boxes.shown.isEmpty(); }, 10000);
    // A picture must be there before images of it can be asked for.
    (void)QTest::qWaitFor([&] { return vlc->frameStore()->latest() != nullptr; }, 5000);
    return h->boxes.shown.isEmpty() && probe(f).logoHide->isHidden() &&
           vlc->frameStore()->latest() != nullptr;
}

QImage TestOpenImageE2E::takeSnapshot(const QString& file) {
    h->form->snapshotButton_Click();
    if (!writer->waitForIdle(5000) || !QFile::exists(file))
        return {};
    QImageReader reader(file);
    return reader.format() == "png" ? reader.read() : QImage();
}

void TestOpenImageE2E::playsAndCapturesIntoTheLabelsFolder_data() {
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("label");
    QTest::newRow("image: its volume label") << fixture(QStringLiteral("movie.iso")) << "MOVIE";
    QTest::newRow("VIDEO_TS folder: the name of the folder holding it")
        << fixture(QStringLiteral("DVD/VIDEO_TS")) << "DVD";
    QTest::newRow("folder holding VIDEO_TS") << fixture(QStringLiteral("DVD")) << "DVD";
    // Characters that mean something in a media locator.
    QTest::newRow("folder named with blanks, # and %")
        << scratch.filePath(QStringLiteral("My Film #2 100%")) << "My Film #2 100%";
}

void TestOpenImageE2E::playsAndCapturesIntoTheLabelsFolder() {
    QFETCH(QString, picked);
    QFETCH(QString, label);
    if (picked.startsWith(scratch.path()) && !QFileInfo::exists(picked))
        QVERIFY(QFile::link(fixture(QStringLiteral("DVD")), picked));

    QVERIFY(openAndPlay(picked));
    QCOMPARE(h->form->session().currentDiscLabel(), label);
    const QImage image =
        takeSnapshot(shots.filePath(label + QStringLiteral(" Images/IMG_00001.png")));
    QCOMPARE(image.size(), QSize(768, 576));
}

void TestOpenImageE2E::aFileThatIsNoDvdVideoGivesInvalidDvd_data() {
    QTest::addColumn<QString>("picked");
    QTest::newRow("data disc image") << fixture(QStringLiteral("notdvd.iso"));
    QTest::newRow("text file") << scratch.filePath(QStringLiteral("notes.iso"));
}

void TestOpenImageE2E::aFileThatIsNoDvdVideoGivesInvalidDvd() {
    QFETCH(QString, picked);
    if (!QFileInfo::exists(picked))
        QVERIFY(writeFile(picked, QByteArray("Not a disc image.\n").repeated(4096)));

    MainForm& f = *h->form;
    h->discChoice = picked;
    probe(f).openImageOrFolder->trigger();
    // The engine finds out on its own threads; the position timer tells the user, once.
    QTRY_COMPARE_WITH_TIMEOUT(h->boxes.shown.size(), 1, 10000);
    QCOMPARE(h->boxes.shown[0].text, QStringLiteral("Please insert a valid DVD."));
    QCOMPARE(probe(f).timeElapsed->text(), QString());
    QTest::qWait(200);
    QCOMPARE(h->boxes.shown.size(), 1);

    // Still usable: a real image opens next.
    h->boxes.shown.clear();
    QVERIFY(openAndPlay(fixture(QStringLiteral("movie.iso"))));
}

// The options dialog's reload loads the folder again, not a drive, with the new options.
void TestOpenImageE2E::reloadAfterOptionsKeepsTheFolder() {
    QVERIFY(openAndPlay(fixture(QStringLiteral("DVD/VIDEO_TS"))));
    MainForm& f = *h->form;
    h->boxes.answers = {MessageBoxes::Answer::Yes};
    const ModalRun run = runModal([&] { f.optionsMenuCommand_Click(); },
                                  [&](QWidget& modal) {
                                      if (auto* dialog = qobject_cast<OptionsDialog*>(&modal)) {
                                          dialog->snapshotPath->setText(shots.path());
                                          dialog->snapshotPrefix->setText(QStringLiteral("SHOT"));
                                          QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
                                      }
                                  });
    QVERIFY(run.shown && !run.forcedClosed);
    QCOMPARE(h->boxes.shown.size(), 1); // the reload question, and no "07"
    h->boxes.shown.clear();
    QCOMPARE(probe(f).timeElapsed->text(), QStringLiteral("LOADING..."));

    QVERIFY(!probe(f).logoHide->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(probe(f).logoHide->isHidden() || !h->boxes.shown.isEmpty(), 10000);
    QVERIFY(h->boxes.shown.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(vlc->frameStore()->latest() != nullptr, 5000);
    QCOMPARE(f.session().currentDiscLabel(), QStringLiteral("DVD"));
    const QImage image = takeSnapshot(shots.filePath(QStringLiteral("DVD Images/SHOT00001.png")));
    QCOMPARE(image.size(), QSize(768, 576));
}

QTEST_MAIN(TestOpenImageE2E)
#include "tst_openimage_e2e.moc"
