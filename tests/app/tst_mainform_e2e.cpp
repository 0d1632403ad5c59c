// The main window on the real libVLC engine, playing and capturing the authored test DVD.
#include "Fixtures.h"
#include "MainFormHarness.h"

#include "capture/SnapshotWriter.h"
#include "engine/VlcEngine.h"
#include "ui/GlyphButton.h"
#include "ui/ProgressBar.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <memory>

class TestMainFormE2E : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void playsTheDiscFromTheFileMenu();
    void endOfTitleIsDetected();
    void aDiscThatIsNoDvdIsRefused();
    void singleSnapshotWritesThePlayingPicture();
    void jpgFormatWritesJpeg();
    void existingImageIsKeptAndTheNextNumberUsed();
    void continuousCaptureWritesOneImagePerTick();
    void timedCaptureAtOneSecond();
    void unwritableSnapshotsPathWritesNothing();
    void nextFramePausesAndCopyPictureGivesTheSnapshotsPixels();

private:
    // Opens drive D: from the File menu and waits until the title plays.
    void openMovie();
    QStringList imagesIn(const QString& folder) const;

    std::unique_ptr<MainFormHarness> h;
    VlcEngine* vlc = nullptr; // owned by the harness
    SnapshotWriter* writer = nullptr;
    QTemporaryDir shots;
};

void TestMainFormE2E::init() {
    if (!QFile::exists(fixture(QStringLiteral("movie.iso"))))
        QSKIP("the DVD fixture was not authored (run through ctest)");
    h = std::make_unique<MainFormHarness>();
    h->drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"),
                         fixture(QStringLiteral("movie.iso")));
    h->drives.insertDisc(QStringLiteral("E:"), QStringLiteral("DATA"),
                         fixture(QStringLiteral("notdvd.iso")));
    h->startOnVlc(shots.path());
    vlc = &h->vlc->engine();
    writer = &h->vlc->writer();
}

void TestMainFormE2E::cleanup() {
    h.reset();
    QDir(shots.path()).removeRecursively();
    QDir().mkpath(shots.path());
}

void TestMainFormE2E::openMovie() {
    MainForm& f = *h->form;
    f.fileMenu_Click();
    QCOMPARE(MainForm::dvdsListCaption(probe(f).dvdsList[0]), QStringLiteral("MOVIE (D:)"));
    f.dvdsList_Click(0);
    QVERIFY(h->boxes.shown.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(probe(f).fullScreenButton->isEnabled(), 10000);
    // A picture must be there before images of it can be asked for.
    QTRY_VERIFY_WITH_TIMEOUT(vlc->frameStore()->latest() != nullptr, 5000);
}

QStringList TestMainFormE2E::imagesIn(const QString& folder) const {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

void TestMainFormE2E::playsTheDiscFromTheFileMenu() {
    MainForm& f = *h->form;
    f.fileMenu_Click();
    QCOMPARE(MainForm::dvdsListCaption(probe(f).dvdsList[0]), QStringLiteral("MOVIE (D:)"));
    f.dvdsList_Click(0);
    QCOMPARE(probe(f).timeElapsed->text(), QStringLiteral("LOADING..."));

    static const QRegularExpression timeText(QStringLiteral("^00:00:0\\d / 00:00:(19|20)$"));
    QTRY_VERIFY_WITH_TIMEOUT(timeText.match(probe(f).timeElapsed->text()).hasMatch(), 10000);
    QVERIFY(probe(f).playButton->isEnabled() && probe(f).stopButton->isEnabled());
    QVERIFY(probe(f).snapshotButton->isEnabled());
    QVERIFY(probe(f).logoHide->isHidden());

    f.pauseButton_Click();
    QTRY_VERIFY(!vlc->playing());
    QVERIFY(!probe(f).pauseButton->isEnabled());
    f.playButton_Click();
    QTRY_VERIFY(vlc->playing());

    f.movieProgress_MouseDown(1, 0, static_cast<float>(probe(f).movieProgress->width()) / 2, 2);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(vlc->time() - 10) <= 1, 5000);
    QTRY_VERIFY(probe(f).timeElapsed->text().startsWith(QStringLiteral("00:00:1")) ||
                probe(f).timeElapsed->text().startsWith(QStringLiteral("00:00:09")));

    f.stopButton_Click();
    QTRY_VERIFY(!probe(f).fullScreenButton->isEnabled());
    QVERIFY(!probe(f).playButton->isEnabled());
    QVERIFY(!probe(f).logoHide->isHidden());
    QCOMPARE(probe(f).timeElapsed->text(), QString());
    QVERIFY(vlc->position() < 0.0f);
}

void TestMainFormE2E::endOfTitleIsDetected() {
    openMovie();
    MainForm& f = *h->form;
    f.continuousSnapshotsButton_Click();
    QVERIFY(f.capture().continuousRunning());
    vlc->setPosition(0.9f);
    QTRY_VERIFY_WITH_TIMEOUT(vlc->time() >= 17, 5000);
    QElapsedTimer sinceNearEnd;
    sinceNearEnd.start();
    const int remaining = vlc->length() - vlc->time();
    QTRY_VERIFY_WITH_TIMEOUT(vlc->position() >= 1.0f, 10000);
    // Detected within two seconds of the title's end.
    QVERIFY2(sinceNearEnd.elapsed() <= (remaining + 2) * 1000,
             qPrintable(QString::number(sinceNearEnd.elapsed())));
    QTRY_VERIFY(!f.capture().continuousRunning());
}

void TestMainFormE2E::aDiscThatIsNoDvdIsRefused() {
    MainForm& f = *h->form;
    f.fileMenu_Click();
    QCOMPARE(MainForm::dvdsListCaption(probe(f).dvdsList[1]), QStringLiteral("DATA (E:)"));
    f.dvdsList_Click(1);
    // The engine finds out on its own threads; the position timer tells the user.
    QTRY_COMPARE_WITH_TIMEOUT(h->boxes.shown.size(), 1, 10000);
    QCOMPARE(h->boxes.shown[0].text, QStringLiteral("Please insert a valid DVD."));
    QCOMPARE(probe(f).timeElapsed->text(), QString());
    // Still usable: the real disc opens next.
    h->boxes.shown.clear();
    openMovie();
}

void TestMainFormE2E::singleSnapshotWritesThePlayingPicture() {
    openMovie();
    h->form->snapshotButton_Click();
    const QString folder = shots.filePath(QStringLiteral("MOVIE Images"));
    const QString file = QDir(folder).filePath(QStringLiteral("IMG_00001.png"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), 5000);
    QVERIFY(writer->waitForIdle(5000));
    QImageReader reader(file);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    QCOMPARE(image.size(), QSize(768, 576));
    QVERIFY(distinctLevels(image) > 8);
}

void TestMainFormE2E::jpgFormatWritesJpeg() {
    Settings::current().imageFormat = 1;
    h->form->BuildEngineOptions();
    openMovie();
    h->form->snapshotButton_Click();
    QVERIFY(writer->waitForIdle(5000));
    const QString file = shots.filePath(QStringLiteral("MOVIE Images/IMG_00001.jpg"));
    QFile jpeg(file);
    QVERIFY(jpeg.open(QIODevice::ReadOnly));
    QVERIFY(jpeg.read(3) == QByteArray("\xFF\xD8\xFF"));
    QCOMPARE(QImage(file).size(), QSize(768, 576));
}

void TestMainFormE2E::existingImageIsKeptAndTheNextNumberUsed() {
    const QString folder = shots.filePath(QStringLiteral("MOVIE Images"));
    QVERIFY(QDir().mkpath(folder));
    QFile existing(QDir(folder).filePath(QStringLiteral("IMG_00001.png")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("not mine");
    existing.close();

    openMovie();
    h->form->snapshotButton_Click();
    QVERIFY(writer->waitForIdle(5000));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("not mine"));
    QCOMPARE(imagesIn(folder),
             (QStringList{QStringLiteral("IMG_00001.png"), QStringLiteral("IMG_00002.png")}));
}

void TestMainFormE2E::continuousCaptureWritesOneImagePerTick() {
    openMovie();
    MainForm& f = *h->form;
    int ticks = 0;
    QMetaObject::Connection counting = connect(probe(f).movieTimer, &QTimer::timeout, this, [&] {
        ticks += f.capture().continuousRunning() ? 1 : 0;
    });
    f.continuousSnapshotsButton_Click();
    QTest::qWait(1000);
    f.continuousSnapshotsButton_Click();
    disconnect(counting);
    QVERIFY(writer->waitForIdle(20000));

    const QStringList files = imagesIn(shots.filePath(QStringLiteral("MOVIE Images")));
    // One request per tick that ran while capturing; every one of them became a file.
    QVERIFY2(files.size() >= 50, qPrintable(QString::number(files.size())));
    QVERIFY2(qAbs(files.size() - ticks) <= 1,
             qPrintable(QStringLiteral("%1 files, %2 ticks").arg(files.size()).arg(ticks)));
    for (int i = 0; i < files.size(); ++i) {
        QCOMPARE(files[i], QStringLiteral("IMG_%1.png").arg(i + 1, 5, 10, QLatin1Char('0')));
        QImageReader reader(shots.filePath(QStringLiteral("MOVIE Images/") + files[i]));
        QVERIFY2(reader.canRead() && reader.size() == QSize(768, 576), qPrintable(files[i]));
    }
}

void TestMainFormE2E::timedCaptureAtOneSecond() {
    openMovie();
    MainForm& f = *h->form;
    Settings::current().hideIntervalPrompt = 1;
    Settings::current().snapshotInterval = 1000;
    f.timedSnapshotsButton_Click();
    QTest::qWait(3500);
    f.timedSnapshotsButton_Click();
    QVERIFY(writer->waitForIdle(5000));
    QCOMPARE(imagesIn(shots.filePath(QStringLiteral("MOVIE Images"))).size(), 4);
}

void TestMainFormE2E::unwritableSnapshotsPathWritesNothing() {
    openMovie();
    MainForm& f = *h->form;
    // A folder nobody may create sub-folders in, not even root.
    Settings::current().snapshotsPath = QStringLiteral("/proc");
    f.BuildEngineOptions();
    f.snapshotCommand_Click();
    f.continuousSnapshotsButton_Click();
    QTest::qWait(200);
    QVERIFY(writer->waitForIdle(5000));
    QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/MOVIE Images")));
    QVERIFY(imagesIn(shots.filePath(QStringLiteral("MOVIE Images"))).isEmpty());
    // The program carries on playing.
    QVERIFY(vlc->playing());
    QVERIFY(probe(f).fullScreenButton->isEnabled());
}

// The window's picture commands: Next Frame while playing pauses; Copy Picture puts on the
// clipboard the very pixels the PNG of the same frame holds.
void TestMainFormE2E::nextFramePausesAndCopyPictureGivesTheSnapshotsPixels() {
    MainForm& f = *h->form;
    auto* nextFrame = f.findChild<QAction*>(QStringLiteral("nextFrame"));
    auto* copyPicture = f.findChild<QAction*>(QStringLiteral("copyPicture"));
    QVERIFY(nextFrame && copyPicture);
    QVERIFY(!nextFrame->isEnabled() && !copyPicture->isEnabled());
    openMovie();
    QVERIFY(nextFrame->isEnabled() && copyPicture->isEnabled());
    nextFrame->trigger();
    QTRY_VERIFY(!vlc->playing());
    QTest::qWait(300); // the last pictures on their way arrive
    const quint64 before = vlc->frameStore()->latest()->serial;
    nextFrame->trigger();
    QTRY_VERIFY(vlc->frameStore()->latest()->serial > before);

    f.snapshotButton_Click();
    const QString file = shots.filePath(QStringLiteral("MOVIE Images/IMG_00001.png"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), 5000);
    QVERIFY(writer->waitForIdle(5000));
    copyPicture->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(768, 576));
    QCOMPARE(copied.convertToFormat(QImage::Format_RGB32),
             QImage(file).convertToFormat(QImage::Format_RGB32));
}

QTEST_MAIN(TestMainFormE2E)
#include "tst_mainform_e2e.moc"
