// The real engine playing the authored DVD-Video images: opening, transport, the end of a title,
// refused discs, sound.
#include "EngineFixture.h"
#include "Fixtures.h"
#include "capture/SnapshotWriter.h"
#include "engine/FrameStore.h"
#include "engine/VlcEngine.h"

#include <QDir>
#include <QtTest>
#include <atomic>
#include <dlfcn.h>
#include <vlc/vlc.h>

namespace {

// The volume and mute state last handed to libVLC. With the dummy audio output libVLC reads its
// volume back as 0, so its two setters are wrapped here (this program's definitions take
// precedence over libvlc.so's) to see what the engine gave it.
QPair<int, int> givenToLibVlc{-1, -1};

} // namespace

extern "C" int libvlc_audio_set_volume(libvlc_media_player_t* player, int volume) {
    using Setter = int (*)(libvlc_media_player_t*, int);
    static const auto real = reinterpret_cast<Setter>(dlsym(RTLD_NEXT, "libvlc_audio_set_volume"));
    givenToLibVlc.first = volume;
    return real(player, volume);
}

extern "C" void libvlc_audio_set_mute(libvlc_media_player_t* player, int mute) {
    using Setter = void (*)(libvlc_media_player_t*, int);
    static const auto real = reinterpret_cast<Setter>(dlsym(RTLD_NEXT, "libvlc_audio_set_mute"));
    givenToLibVlc.second = mute;
    real(player, mute);
}

class TestVlcEngineE2E : public QObject, private EngineFixture {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(missingDisc().isEmpty(), qPrintable(missingDisc())); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void playsTheDiscWithFramesAtDisplaySize_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QSize>("displaySize");
        QTest::newRow("dvd://D: 4:3") << "dvd://D:" << QSize(768, 576);
        QTest::newRow("bare D:") << "D:" << QSize(768, 576);
        QTest::newRow("dvd://E: 16:9") << "dvd://E:" << QSize(1024, 576);
    }
    void playsTheDiscWithFramesAtDisplaySize() {
        QFETCH(QString, target);
        QFETCH(QSize, displaySize);
        // Width of the very first picture shown: the aspect ratio must be right from the start.
        std::atomic<int> firstWidth{0};
        const auto firstFrame = connect(
            engine_->frameStore(), &FrameStore::frameArrived, this,
            [&] {
                if (const auto f = engine_->frameStore()->latest()) {
                    int none = 0;
                    firstWidth.compare_exchange_strong(none, f->displaySize.width());
                }
            },
            Qt::DirectConnection);
        engine_->addTarget(target, itemOptions(snapshots_->path()), 2, 0);
        QCOMPARE(engine_->playlistCount(), 1);
        QVERIFY(engine_->position() < 0); // loaded, not started
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->playing(), kStartMs);
        QVERIFY(engine_->position() >= 0);

        QTRY_VERIFY_WITH_TIMEOUT(framesSeen() > 10, kStartMs);
        const auto frame = engine_->frameStore()->latest();
        QCOMPARE(frame->image().size(), QSize(720, 576));
        QCOMPARE(frame->displaySize, displaySize);
        disconnect(firstFrame);
        QCOMPARE(firstWidth.load(), displaySize.width());
        QVERIFY2(distinctColours(frame->image()) > 20, "the picture is blank");
        QTRY_VERIFY_WITH_TIMEOUT(framesSeen() > frame->serial + 5, kStartMs);

        QCOMPARE(engine_->length(), 20);
        QVERIFY(engine_->time() >= 0 && engine_->time() < 20);
        QVERIFY(engine_->position() >= 0 && engine_->position() < 1);
    }

    void pauseHoldsAndPlayResumes() {
        QVERIFY(startMovie());
        engine_->pause();
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->playing(), kStartMs);
        QVERIFY(engine_->position() >= 0); // paused is not idle
        engine_->pause();                  // pausing again keeps it paused
        QTest::qWait(300);
        QVERIFY(!engine_->playing());
        const quint64 serial = framesSeen();
        QTest::qWait(500);
        QVERIFY(framesSeen() <= serial + 2);
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->playing(), kStartMs);
        QTRY_VERIFY_WITH_TIMEOUT(framesSeen() > serial + 10, kStartMs);
    }

    void seeksByPositionAndBySeconds() {
        QVERIFY(startMovie());
        engine_->setPosition(0.5f);
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->seeking(), kSeekMs);
        QTRY_VERIFY2_WITH_TIMEOUT(engine_->time() >= 9 && engine_->time() <= 12,
                                  qPrintable(QStringLiteral("at %1 s").arg(engine_->time())),
                                  kStartMs);
        QVERIFY(qAbs(engine_->position() - 0.5f) < 0.1f);
        QTest::qWait(1500);

        const int before = engine_->time();
        engine_->shuttle(5);
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->seeking(), kSeekMs);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->time() >= before + 4 && engine_->time() <= before + 8,
                                 kStartMs);
        const int later = engine_->time();
        engine_->shuttle(-8);
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->seeking(), kSeekMs);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->time() <= later - 6 && engine_->time() >= later - 10,
                                 kStartMs);
        QVERIFY(engine_->playing());
    }

    void stopMakesTheEngineIdle() {
        QVERIFY_THROWS_EXCEPTION(EngineError, engine_->play()); // nothing loaded yet
        QVERIFY(startMovie());
        engine_->stop();
        QVERIFY(engine_->position() < 0);
        QVERIFY(!engine_->playing());
        QVERIFY(!engine_->frameStore()->latest());
        QCOMPARE(engine_->playlistCount(), 1);
        QVERIFY_THROWS_EXCEPTION(EngineError, engine_->shuttle(1));
        // No picture, so a snapshot request writes nothing.
        pressSnapshot();
        QVERIFY(assembly_->writer().waitForIdle(10000));
        QVERIFY(QDir(snapshots_->path()).entryList(QDir::Files).isEmpty());
        QVERIFY_THROWS_EXCEPTION(EngineError, engine_->setVariable("no-such-variable", 1));

        // The item is still there: play starts it again from the beginning.
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->playing(), kStartMs);
        QVERIFY(engine_->time() < 5);
        engine_->stop();
        engine_->playlistClear();
        QCOMPARE(engine_->playlistCount(), 0);
        QVERIFY_THROWS_EXCEPTION(EngineError, engine_->play());
    }

    void endOfTitleHoldsPositionOne() {
        QVERIFY(startMovie());
        engine_->setPosition(0.9f);
        // At most a second of the title is left once 19 s are shown; the end must be seen
        // within two seconds of the title's end.
        QTRY_VERIFY_WITH_TIMEOUT(engine_->time() >= 19 || engine_->position() >= 1.0f, kStartMs);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->position() >= 1.0f, 3000);
        QVERIFY(!engine_->playing());
        QCOMPARE(engine_->time(), 20);
        QCOMPARE(engine_->length(), 20);
        QTest::qWait(1000);
        QCOMPARE(engine_->position(), 1.0f);      // held until stop or load
        QVERIFY(engine_->frameStore()->latest()); // the last picture stays on screen
        QVERIFY_THROWS_EXCEPTION(EngineError, engine_->setPosition(0.2f));

        // Play starts the title again.
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->playing(), kStartMs);
        QVERIFY(engine_->position() < 0.5f);
        engine_->stop();
        QVERIFY(engine_->position() < 0);
    }

    // What the main window shows as "Please insert a valid DVD.": the target is refused by
    // addTarget, or play() returns at once and the engine reports the failure later, idle.
    void invalidDiscsAreRefused_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("refusedByAddTarget");
        QTest::newRow("data disc") << "dvd://F:" << false;
        QTest::newRow("empty drive") << "dvd://G:" << true;
        QTest::newRow("unknown drive") << "dvd://Z:" << true;
        QTest::newRow("missing image") << "H:" << true;
    }
    void invalidDiscsAreRefused() {
        QFETCH(QString, target);
        QFETCH(bool, refusedByAddTarget);
        drives_->insertDisc("H:", "GONE", snapshots_->filePath("nothing.iso"));
        if (refusedByAddTarget) {
            QVERIFY_THROWS_EXCEPTION(
                EngineError, engine_->addTarget(target, itemOptions(snapshots_->path()), 2, 0));
        } else {
            engine_->addTarget(target, itemOptions(snapshots_->path()), 2, 0);
            engine_->play();
            QVERIFY(!engine_->playing());
            QTRY_VERIFY_WITH_TIMEOUT(engine_->failed(), kStartMs);
        }
        QVERIFY(!engine_->playing());
        QVERIFY(engine_->position() < 0);
    }

    void aGoodDiscPlaysAfterARefusedOne() {
        engine_->addTarget("dvd://F:", itemOptions(snapshots_->path()), 2, 0);
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->failed(), kStartMs);
        engine_->playlistClear();
        QVERIFY(!engine_->failed());
        QVERIFY(startMovie());
        QVERIFY(engine_->position() >= 0);
        QVERIFY(!engine_->failed());
    }

    // First-play -> menu -> title -> back to the menu. The menu before the title is not an end
    // (position 0, no length); entering the title is not an end; the title's move back to the
    // menu is: position 1.0 and the title's own length, held while the menu loops, until a
    // title is chosen in the menu again.
    void menuDiscEndsTheTitleWhenItReturnsToTheMenu() {
        engine_->addTarget("dvd://M:", itemOptions(snapshots_->path()), 2, 0);
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->phase() == TitleTracker::Phase::Menu, kStartMs);
        QVERIFY(engine_->playing());
        QCOMPARE(engine_->position(), 0.0f);
        QCOMPARE(engine_->length(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(isMenuPicture(), kStartMs);
        QTest::qWait(300);
        engine_->navigate(DvdNavigation::Activate);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->phase() == TitleTracker::Phase::Title, kStartMs);
        QTRY_COMPARE_WITH_TIMEOUT(engine_->length(), 6, kStartMs);
        QVERIFY(engine_->position() < 1.0f);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->position() >= 1.0f, 10000);
        QCOMPARE(engine_->time(), 6);
        QCOMPARE(engine_->length(), 6);
        QVERIFY(!engine_->playing());
        QVERIFY_THROWS_EXCEPTION(EngineError, engine_->setPosition(0.5f));
        // The menu plays on (and loops) while the end holds.
        QTRY_VERIFY_WITH_TIMEOUT(isMenuPicture(), kStartMs);
        QTest::qWait(5000);
        QCOMPARE(engine_->position(), 1.0f);
        QCOMPARE(engine_->time(), 6);
        // Choosing the title in the menu starts it anew.
        engine_->navigate(DvdNavigation::Activate);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->phase() == TitleTracker::Phase::Title, kStartMs);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->playing() && engine_->position() < 0.5f, kStartMs);
    }

    void loadingAnotherDiscReplacesTheItem() {
        QVERIFY(startMovie());
        engine_->addTarget("dvd://E:", itemOptions(snapshots_->path()), 2, 0);
        QCOMPARE(engine_->playlistCount(), 1);
        QVERIFY(engine_->position() < 0);
        QVERIFY(!engine_->frameStore()->latest());
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->frameStore()->latest() &&
                                     engine_->frameStore()->latest()->displaySize ==
                                         QSize(1024, 576),
                                 kStartMs);
    }

    void volumeAndMuteReachLibVlc() {
        // Given again once the title plays, since a new audio output starts at libVLC's volume.
        givenToLibVlc = {-1, -1};
        QVERIFY(startMovie());
        QCOMPARE(engine_->volume(), 50);
        QCOMPARE(givenToLibVlc, (QPair<int, int>{50, 0}));
        engine_->setVolume(80);
        QCOMPARE(givenToLibVlc, (QPair<int, int>{80, 0}));
        QVERIFY_THROWS_EXCEPTION(EngineError, engine_->setVolume(-1));
        QCOMPARE(engine_->volume(), 80);
        QCOMPARE(givenToLibVlc.first, 80);
        engine_->toggleMute();
        QVERIFY(engine_->isMuted());
        QCOMPARE(givenToLibVlc, (QPair<int, int>{80, 1}));
    }
};

QTEST_MAIN(TestVlcEngineE2E)
#include "tst_vlcengine_e2e.moc"
