// The main window on the real engine with discs as people own them: a menu disc (first-play,
// menu, a title that returns to the menu) and the picture in full screen.
#include "Fixtures.h"
#include "MainFormHarness.h"

#include "capture/SnapshotWriter.h"
#include "engine/FrameStore.h"
#include "engine/VlcEngine.h"
#include "ui/GlyphButton.h"
#include "video/VideoStage.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <memory>

namespace {
// The menu of menu.iso is solid blue; its title is a colourful test picture.
bool isMenuPicture(const QImage& picture) {
    const QRgb corner = picture.pixel(40, 40);
    return qBlue(corner) > 150 && qRed(corner) < 60 && qGreen(corner) < 60;
}

// Images written so far and how many of them show the menu.
struct Written {
    int images = 0;
    int menuImages = 0;
};
} // namespace

class TestMenuDiscE2E : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void captureStopsWhenTheTitleReturnsToTheMenu_data();
    void captureStopsWhenTheTitleReturnsToTheMenu();
    void enteringTheTitleFromTheMenuStopsNothing();
    void commandsWorkInFullScreenAndToggleIt();

private:
    // Opens the drive from the File menu and waits until its first picture plays.
    void open(int item, const QString& caption);
    void waitForMenu();
    Written written();
    VideoStage* fullScreenStage() const;

    std::unique_ptr<MainFormHarness> h;
    VlcEngine* vlc = nullptr; // owned by the harness
    SnapshotWriter* writer = nullptr;
    QTemporaryDir shots;
    QString folder;
};

void TestMenuDiscE2E::init() {
    if (!QFile::exists(fixture(QStringLiteral("menu.iso"))))
        QSKIP("the DVD fixtures were not authored (run through ctest)");
    h = std::make_unique<MainFormHarness>();
    h->drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"),
                         fixture(QStringLiteral("movie.iso")));
    h->drives.insertDisc(QStringLiteral("M:"), QStringLiteral("MENUDISC"),
                         fixture(QStringLiteral("menu.iso")));
    h->startOnVlc(shots.path());
    vlc = &h->vlc->engine();
    writer = &h->vlc->writer();
    Settings::current().hideIntervalPrompt = 1;
    Settings::current().snapshotInterval = 1000;
}

void TestMenuDiscE2E::cleanup() {
    h.reset();
    QDir(shots.path()).removeRecursively();
    QDir().mkpath(shots.path());
}

void TestMenuDiscE2E::open(int item, const QString& caption) {
    MainForm& f = *h->form;
    f.fileMenu_Click();
    QCOMPARE(MainForm::dvdsListCaption(probe(f).dvdsList[item]), caption);
    f.dvdsList_Click(item);
    QVERIFY(h->boxes.shown.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(probe(f).fullScreenButton->isEnabled(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(vlc->frameStore()->latest() != nullptr, 5000);
    folder = shots.filePath(MainForm::dvdsListCaption(probe(f).dvdsList[item]).chopped(5) +
                            QStringLiteral(" Images"));
}

void TestMenuDiscE2E::waitForMenu() {
    QTRY_VERIFY_WITH_TIMEOUT(
        vlc->frameStore()->latest() && isMenuPicture(vlc->frameStore()->latest()->image()), 10000);
}

Written TestMenuDiscE2E::written() {
    Written result;
    if (!writer->waitForIdle(20000))
        return result;
    for (const QString& file : QDir(folder).entryList(QDir::Files)) {
        ++result.images;
        result.menuImages += isMenuPicture(QImage(QDir(folder).filePath(file))) ? 1 : 0;
    }
    return result;
}

void TestMenuDiscE2E::captureStopsWhenTheTitleReturnsToTheMenu_data() {
    QTest::addColumn<bool>("continuous");
    QTest::newRow("continuous") << true;
    QTest::newRow("timed") << false;
}

// The bound on images of the menu: the tick that sees the end still takes its image first, and
// pictures libVLC shows before it reports the title change may be taken too.
void TestMenuDiscE2E::captureStopsWhenTheTitleReturnsToTheMenu() {
    QFETCH(bool, continuous);
    open(1, QStringLiteral("MENUDISC (M:)"));
    MainForm& f = *h->form;
    waitForMenu();
    vlc->navigate(DvdNavigation::Activate);
    QTRY_VERIFY_WITH_TIMEOUT(vlc->length() == 6 && vlc->time() >= 2, 10000);
    QVERIFY(vlc->frameStore()->latest() && !isMenuPicture(vlc->frameStore()->latest()->image()));

    // The moment the menu's first picture arrives is the title's end on screen.
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> menuShownAt{-1};
    const auto watch = connect(
        vlc->frameStore(), &FrameStore::frameArrived, this,
        [&] {
            const auto frame = vlc->frameStore()->latest();
            qint64 none = -1;
            if (frame && isMenuPicture(frame->image()))
                menuShownAt.compare_exchange_strong(none, clock.elapsed());
        },
        Qt::DirectConnection);
    qint64 stoppedAt = -1;
    const auto stopWatch = connect(probe(f).movieTimer, &QTimer::timeout, this, [&] {
        if (stoppedAt < 0 && !f.capture().continuousRunning() && !f.capture().timedRunning())
            stoppedAt = clock.elapsed();
    });
    if (continuous)
        f.continuousSnapshotsButton_Click();
    else
        f.timedSnapshotsButton_Click();
    QVERIFY(f.capture().continuousRunning() || f.capture().timedRunning());
    stoppedAt = -1;

    QTRY_VERIFY_WITH_TIMEOUT(menuShownAt >= 0, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(stoppedAt >= 0, 5000);
    disconnect(watch);
    disconnect(stopWatch);
    QVERIFY2(
        stoppedAt - menuShownAt <= 1000,
        qPrintable(
            QStringLiteral("stopped %1 ms after the menu showed").arg(stoppedAt - menuShownAt)));
    QCOMPARE(vlc->position(), 1.0f);
    QCOMPARE(probe(f).timeElapsed->text(), QStringLiteral("00:00:06 / 00:00:06"));
    QVERIFY(probe(f).fullScreenButton->isEnabled());

    QTest::qWait(1500); // the menu loops on; nothing more is written
    const Written images = written();
    qInfo("%d images, %d of the menu, capture stopped %lld ms after the menu showed", images.images,
          images.menuImages, stoppedAt - menuShownAt);
    QVERIFY(images.images >= (continuous ? 50 : 2));
    QVERIFY2(images.menuImages <= 3, qPrintable(QString::number(images.menuImages)));
    QVERIFY(!f.capture().continuousRunning() && !f.capture().timedRunning());
}

void TestMenuDiscE2E::enteringTheTitleFromTheMenuStopsNothing() {
    open(1, QStringLiteral("MENUDISC (M:)"));
    MainForm& f = *h->form;
    waitForMenu();
    // The menu plays: the window shows no time of its own yet, and captures may start.
    QTRY_COMPARE(probe(f).timeElapsed->text(), QStringLiteral("00:00:00 / 00:00:00"));
    probe(f).continuousSnapshots->trigger();
    probe(f).timedSnapshots->trigger();
    QVERIFY(f.capture().continuousRunning() && f.capture().timedRunning());
    vlc->navigate(DvdNavigation::Activate);
    QTRY_VERIFY_WITH_TIMEOUT(vlc->length() == 6 && vlc->time() >= 1, 10000);
    QTRY_VERIFY(probe(f).timeElapsed->text().endsWith(QStringLiteral(" / 00:00:06")));
    QVERIFY(f.capture().continuousRunning() && f.capture().timedRunning());
    probe(f).continuousSnapshots->trigger();
    probe(f).timedSnapshots->trigger();
    const Written images = written();
    QVERIFY(images.menuImages > 0);
    QVERIFY(images.images > images.menuImages);
}

VideoStage* TestMenuDiscE2E::fullScreenStage() const {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* stage = qobject_cast<VideoStage*>(widget); stage && stage->isVisible())
            return stage;
    return nullptr;
}

// Over the full-screen picture the Edit menu's shortcuts and the menu keys keep working; the
// full-screen command leaves full screen again, and so does Esc.
void TestMenuDiscE2E::commandsWorkInFullScreenAndToggleIt() {
    open(1, QStringLiteral("MENUDISC (M:)"));
    MainForm& f = *h->form;
    f.show(); // as the program shows it: its menu bar carries the commands
    waitForMenu();
    f.fullScreenButton_Click();
    QVERIFY(vlc->isFullScreen());
    VideoStage* stage = fullScreenStage();
    QVERIFY(stage);
    QTRY_VERIFY(stage->isActiveWindow());

    QTest::keyClick(stage, Qt::Key_Return); // the menu's button: into the title
    QTRY_VERIFY_WITH_TIMEOUT(vlc->length() == 6, 10000);
    QTest::keyClick(stage, Qt::Key_F1, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(written().images, 1, 5000);
    QTest::keyClick(stage, Qt::Key_F2, Qt::ControlModifier);
    QVERIFY(f.capture().continuousRunning());
    QTest::keyClick(stage, Qt::Key_F2, Qt::ControlModifier);
    QVERIFY(!f.capture().continuousRunning());
    QTest::keyClick(stage, Qt::Key_F3, Qt::ControlModifier);
    QVERIFY(f.capture().timedRunning());
    QTest::keyClick(stage, Qt::Key_F3, Qt::ControlModifier);
    QVERIFY(!f.capture().timedRunning());
    QVERIFY(vlc->isFullScreen());

    QTest::keyClick(stage, Qt::Key_F4, Qt::ControlModifier);
    QTRY_VERIFY(!vlc->isFullScreen());
    probe(f).fullScreenMenu->trigger();
    QTRY_VERIFY(vlc->isFullScreen());
    stage = fullScreenStage();
    QVERIFY(stage);
    QTest::keyClick(stage, Qt::Key_Escape);
    QTRY_VERIFY(!vlc->isFullScreen());
}

QTEST_MAIN(TestMenuDiscE2E)
#include "tst_menudisc_e2e.moc"
