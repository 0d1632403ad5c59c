// Opening a disc in a drive that takes longer to deliver its first data than any fixed wait
// would allow: the window keeps working meanwhile, the disc plays once it is ready, and closing
// the window during the wait ends the program cleanly. The slow drive is a preloaded library
// that holds back the first reads of one file (tests/fixtures/slow_read_shim.cpp).
#include "Fixtures.h"
#include "MainFormHarness.h"

#include "engine/VlcEngine.h"
#include "ui/GlyphButton.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <dlfcn.h>
#include <memory>

namespace {
constexpr int kSpinUpMs = 12000;
} // namespace

class TestSlowDiscE2E : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void slowDiscPlaysWhenReadyWhileTheWindowWorks();
    void closingWhileLoadingEndsCleanly();

private:
    // Puts a copy of the test disc into drive D: behind a drive that spins up for kSpinUpMs.
    void insertSlowDisc(const QString& name);

    std::unique_ptr<MainFormHarness> h;
    VlcEngine* vlc = nullptr; // owned by the harness
    QTemporaryDir work;
};

void TestSlowDiscE2E::initTestCase() {
    QVERIFY2(dlsym(RTLD_DEFAULT, "stillbeck_slow_read_shim"),
             "the slow drive library is not preloaded (run through ctest)");
    QVERIFY(QFile::exists(fixture(QStringLiteral("movie.iso"))));
    qputenv("STILLBECK_SLOW_SPINUP_MS", QByteArray::number(kSpinUpMs));
}

void TestSlowDiscE2E::init() {
    h = std::make_unique<MainFormHarness>();
    h->startOnVlc(work.path());
    vlc = &h->vlc->engine();
    h->form->show();
}

void TestSlowDiscE2E::cleanup() {
    h.reset();
}

void TestSlowDiscE2E::insertSlowDisc(const QString& name) {
    const QString path = work.filePath(name);
    QVERIFY(QFile::copy(fixture(QStringLiteral("movie.iso")), path));
    qputenv("STILLBECK_SLOW_FILE", QFile::encodeName(path));
    h->drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"), path);
}

void TestSlowDiscE2E::slowDiscPlaysWhenReadyWhileTheWindowWorks() {
    insertSlowDisc(QStringLiteral("slow1.iso"));
    MainForm& f = *h->form;
    int ticksWhileLoading = 0;
    connect(probe(f).movieTimer, &QTimer::timeout, this, [&] {
        ticksWhileLoading += probe(f).timeElapsed->text() == QStringLiteral("LOADING...") ? 1 : 0;
    });
    QElapsedTimer clock;
    clock.start();
    f.fileMenu_Click();
    f.dvdsList_Click(0);
    QCOMPARE(probe(f).timeElapsed->text(), QStringLiteral("LOADING..."));

    QTRY_VERIFY_WITH_TIMEOUT(probe(f).fullScreenButton->isEnabled(), kSpinUpMs + 30000);
    const qint64 openedAfter = clock.elapsed();
    qInfo("the disc played %lld ms after it was chosen; %d ticks ran meanwhile", openedAfter,
          ticksWhileLoading);
    QVERIFY(h->boxes.shown.isEmpty());
    // The drive really held the disc back longer than the old fixed wait of 10 s...
    QVERIFY(openedAfter >= 10000);
    // ...and the position timer kept running all the while (100 ticks a second if unhindered).
    QVERIFY(ticksWhileLoading >= 100);
    QTRY_VERIFY_WITH_TIMEOUT(vlc->time() >= 1, 5000);
    QVERIFY(probe(f).logoHide->isHidden());
}

void TestSlowDiscE2E::closingWhileLoadingEndsCleanly() {
    insertSlowDisc(QStringLiteral("slow2.iso"));
    MainForm& f = *h->form;
    f.fileMenu_Click();
    f.dvdsList_Click(0);
    QTest::qWait(1000);
    QCOMPARE(probe(f).timeElapsed->text(), QStringLiteral("LOADING..."));
    QVERIFY(f.close());
    QCOMPARE(h->endProcessCalls, 1);
    QVERIFY(h->boxes.shown.isEmpty());
    // What the program does after the window's end: the window, then the engine, go.
    h.reset();
}

QTEST_MAIN(TestSlowDiscE2E)
#include "tst_slowdisc_e2e.moc"
