#include "capture/SnapshotWriter.h"
#include "playback/FrameStore.h"
#include "playback/VideoStage.h"
#include "playback/VlcEngine.h"
#include "support/FakeDriveSource.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <dlfcn.h>
#include <vlc/vlc.h>

namespace {

constexpr int kSnapshotKey = 83;
constexpr int kStartMs = 8000;
const QStringList kVlcArguments{QStringLiteral("--aout=adummy"), QStringLiteral("--quiet")};

QStringList itemOptions(const QString& folder, const QString& format = QStringLiteral("PNG")) {
    return {QStringLiteral("snapshot-prefix=IMG_"), QStringLiteral("snapshot-path=") + folder,
            QStringLiteral("snapshot-format=") + format, QStringLiteral("snapshot-sequential"),
            QStringLiteral("no-snapshot-preview")};
}

// Distinct colours on a coarse grid: a decoded test picture has many, a blank one one or two.
int distinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 8; y < image.height(); y += 24)
        for (int x = 8; x < image.width(); x += 24)
            colours.insert(image.pixel(x, y) & 0xffffff);
    return int(colours.size());
}

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

// The real engine playing the authored DVD-Video images.
class TestVlcEngineE2E : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString fixtures = qEnvironmentVariable("STILLBECK_FIXTURE_DIR");
        QVERIFY2(!fixtures.isEmpty(), "STILLBECK_FIXTURE_DIR is not set");
        for (const char* name : {"movie.iso", "wide.iso", "notdvd.iso"})
            QVERIFY2(QFileInfo::exists(QDir(fixtures).filePath(name)), name);
        fixtures_ = fixtures;
    }

    void init() {
        drives_.reset(new FakeDriveSource);
        drives_->insertDisc("D:", "MOVIE", fixtures_.filePath("movie.iso"));
        drives_->insertDisc("E:", "WIDE", fixtures_.filePath("wide.iso"));
        drives_->insertDisc("F:", "DATA", fixtures_.filePath("notdvd.iso"));
        drives_->addDrive("G:"); // no disc
        snapshots_.reset(new QTemporaryDir);
        QVERIFY(snapshots_->isValid());
        engine_.reset(new VlcEngine(drives_.get(), kVlcArguments));
    }

    void cleanup() {
        engine_.reset();
        snapshots_.reset();
        drives_.reset();
    }

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
        QCOMPARE(frame->image.size(), QSize(720, 576));
        QCOMPARE(frame->displaySize, displaySize);
        disconnect(firstFrame);
        QCOMPARE(firstWidth.load(), displaySize.width());
        QVERIFY2(distinctColours(frame->image) > 20, "the picture is blank");
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
        QTRY_VERIFY_WITH_TIMEOUT(engine_->time() >= 9 && engine_->time() <= 12, kStartMs);
        QVERIFY(qAbs(engine_->position() - 0.5f) < 0.1f);
        QTest::qWait(1500);

        const int before = engine_->time();
        engine_->shuttle(5);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->time() >= before + 4 && engine_->time() <= before + 8,
                                 kStartMs);
        const int later = engine_->time();
        engine_->shuttle(-8);
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
        QVERIFY(engine_->snapshotWriter()->waitForIdle(10000));
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

    void snapshotWritesTheDisplayedFrame_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("PNG") << "PNG" << QByteArray("png");
        QTest::newRow("JPG") << "JPG" << QByteArray("jpeg");
    }
    void snapshotWritesTheDisplayedFrame() {
        QFETCH(QString, format);
        QFETCH(QByteArray, content);
        const QString folder = snapshots_->filePath("MOVIE Images");
        QVERIFY(QDir().mkpath(folder));
        engine_->addTarget("dvd://D:", itemOptions(folder, format), 2, 0);
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(framesSeen() > 10, kStartMs);
        pressSnapshot();
        QVERIFY(engine_->snapshotWriter()->waitForIdle(10000));
        const QString file = "IMG_00001." + format.toLower();
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{file});

        QImageReader reader(QDir(folder).filePath(file));
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), content);
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(768, 576));
        QVERIFY2(distinctColours(image) > 20, "the snapshot is blank");
    }

    // What the main window shows as "Please insert a valid DVD.": the target is refused by
    // addTarget or by play, and the engine is left idle.
    void invalidDiscsAreRefused_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("data disc") << "dvd://F:";
        QTest::newRow("empty drive") << "dvd://G:";
        QTest::newRow("unknown drive") << "dvd://Z:";
        QTest::newRow("missing image") << "H:";
    }
    void invalidDiscsAreRefused() {
        QFETCH(QString, target);
        drives_->insertDisc("H:", "GONE", snapshots_->filePath("nothing.iso"));
        QVERIFY_THROWS_EXCEPTION(EngineError, {
            engine_->addTarget(target, itemOptions(snapshots_->path()), 2, 0);
            engine_->play();
        });
        QVERIFY(!engine_->playing());
        QVERIFY(engine_->position() < 0);
    }

    void aGoodDiscPlaysAfterARefusedOne() {
        engine_->addTarget("dvd://F:", itemOptions(snapshots_->path()), 2, 0);
        QVERIFY_THROWS_EXCEPTION(EngineError, engine_->play());
        engine_->playlistClear();
        QVERIFY(startMovie());
        QVERIFY(engine_->position() >= 0);
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

    void fullScreenShowsTheSameFramesAndEscLeaves() {
        QVERIFY(startMovie());
        engine_->fullscreen();
        QVERIFY(engine_->isFullScreen());
        VideoStage* stage = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* candidate = qobject_cast<VideoStage*>(widget);
                candidate && candidate->isVisible())
                stage = candidate;
        QVERIFY(stage);
        QCOMPARE(stage->engine(), static_cast<MediaEngine*>(engine_.get()));
        QVERIFY(stage->windowState() & Qt::WindowFullScreen);
        QTest::keyClick(stage, Qt::Key_Escape);
        QTRY_VERIFY(!engine_->isFullScreen());

        engine_->fullscreen();
        QVERIFY(engine_->isFullScreen());
        engine_->fullscreen();
        QVERIFY(!engine_->isFullScreen());
        QVERIFY(engine_->playing());
    }

private:
    // Serial number of the newest picture, 0 while there is none.
    quint64 framesSeen() {
        const auto frame = engine_->frameStore()->latest();
        return frame ? frame->serial : 0;
    }

    void pressSnapshot() {
        engine_->setVariable("key-snapshot", kSnapshotKey);
        engine_->setVariable("key-pressed", kSnapshotKey);
    }

    // Plays D: until pictures arrive and the title's length is known.
    bool startMovie() {
        engine_->addTarget("dvd://D:", itemOptions(snapshots_->path()), 2, 0);
        engine_->play();
        return QTest::qWaitFor(
            [this] {
                return engine_->playing() && engine_->frameStore()->latest() &&
                       engine_->length() > 0;
            },
            kStartMs);
    }

    QDir fixtures_;
    std::unique_ptr<FakeDriveSource> drives_;
    std::unique_ptr<QTemporaryDir> snapshots_;
    std::unique_ptr<VlcEngine> engine_;
};

QTEST_MAIN(TestVlcEngineE2E)
#include "tst_vlcengine_e2e.moc"
