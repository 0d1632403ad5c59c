#include "Fixtures.h"
#include "app/EngineAssembly.h"
#include "capture/SnapshotWriter.h"
#include "engine/FrameStore.h"
#include "engine/VlcEngine.h"
#include "support/FakeDriveSource.h"
#include "video/VideoStage.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <dlfcn.h>
#include <vector>
#include <vlc/vlc.h>

namespace {

constexpr int kSnapshotKey = 83;
constexpr int kStartMs = 8000;
const QStringList kVlcArguments = testVlcArguments();

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
        for (const char* name :
             {"movie.iso", "wide.iso", "notdvd.iso", "menu.iso", "interlaced.iso"})
            QVERIFY2(QFileInfo::exists(QDir(fixtures).filePath(name)), name);
        fixtures_ = fixtures;
    }

    void init() {
        drives_.reset(new FakeDriveSource);
        drives_->insertDisc("D:", "MOVIE", fixtures_.filePath("movie.iso"));
        drives_->insertDisc("E:", "WIDE", fixtures_.filePath("wide.iso"));
        drives_->insertDisc("F:", "DATA", fixtures_.filePath("notdvd.iso"));
        drives_->addDrive("G:"); // no disc
        drives_->insertDisc("M:", "MENUDISC", fixtures_.filePath("menu.iso"));
        drives_->insertDisc("I:", "INTERLACED", fixtures_.filePath("interlaced.iso"));
        snapshots_.reset(new QTemporaryDir);
        QVERIFY(snapshots_->isValid());
        assembly_.reset(new EngineAssembly(drives_.get(), kVlcArguments));
        engine_ = &assembly_->engine();
    }

    void cleanup() {
        engine_ = nullptr;
        assembly_.reset();
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
        QVERIFY(assembly_->writer().waitForIdle(10000));
        const QString file = "IMG_00001." + format.toLower();
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{file});

        QImageReader reader(QDir(folder).filePath(file));
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), content);
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(768, 576));
        QVERIFY2(distinctColours(image) > 20, "the snapshot is blank");
    }

    // The engine's edge: each disc's option strings are read once into the sink's options, and
    // only the bound key hands the sink a request, with the frame on show (none before one).
    void snapshotKeyReachesTheSinkWithTheDiscsOptions() {
        struct RecordingSink : SnapshotSink {
            QList<SnapshotOptions> options;
            QList<std::shared_ptr<const VideoFrame>> frames;
            void setOptions(const SnapshotOptions& given) override { options.append(given); }
            void snapshotRequested(std::shared_ptr<const VideoFrame> frame) override {
                frames.append(std::move(frame));
            }
        } sink;
        engine_->setSnapshotSink(&sink);
        const QString folder = snapshots_->filePath("MOVIE Images");
        engine_->addTarget("dvd://D:", itemOptions(folder, "JPG"), 2, 0);
        QCOMPARE(sink.options.size(), 2); // what the engine held when set, then the disc's
        QCOMPARE(sink.options.last().folder, folder);
        QCOMPARE(sink.options.last().prefix, QStringLiteral("IMG_"));
        QCOMPARE(sink.options.last().format, SnapshotFormat::Jpg);

        engine_->setVariable("key-pressed", kSnapshotKey); // nothing bound yet
        engine_->setVariable("key-snapshot", kSnapshotKey);
        engine_->setVariable("key-pressed", kSnapshotKey + 1);
        QVERIFY_THROWS_EXCEPTION(EngineError, engine_->setVariable("volume", 3));
        QVERIFY(sink.frames.isEmpty());
        engine_->setVariable("key-pressed", kSnapshotKey);
        QCOMPARE(sink.frames.size(), 1);
        QVERIFY(!sink.frames[0]);

        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(framesSeen() > 3, kStartMs);
        engine_->setVariable("key-pressed", kSnapshotKey);
        QCOMPARE(sink.frames.size(), 2);
        QVERIFY(sink.frames[1] && sink.frames[1]->serial > 0);
        engine_->playlistClear();
        QVERIFY(sink.options.last().folder.isEmpty());
        engine_->setSnapshotSink(nullptr);
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

    // A bar 32 px wide moving 32 px per field, woven into interlaced frames: a still that shows
    // the two fields together is combed, one that blends them shows two half-bright bars.
    void interlacedPictureMetricsTellCleanFromWovenAndBlended_data() {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<bool>("combed");
        QTest::addColumn<bool>("ghosted");
        const QImage top = barPicture(300), bottom = barPicture(300 + 34);
        QImage woven = top, blended = top;
        for (int y = 1; y < woven.height(); y += 2)
            std::memcpy(woven.scanLine(y), bottom.constScanLine(y), size_t(woven.bytesPerLine()));
        for (int y = 0; y < blended.height(); ++y)
            for (int x = 0; x < blended.width(); ++x) {
                const int level = (qGray(top.pixel(x, y)) + qGray(bottom.pixel(x, y))) / 2;
                blended.setPixel(x, y, qRgb(level, level, level));
            }
        QTest::newRow("one field") << top << false << false;
        QTest::newRow("woven fields") << woven << true << false;
        QTest::newRow("blended fields") << blended << false << true;
    }
    void interlacedPictureMetricsTellCleanFromWovenAndBlended() {
        QFETCH(QImage, picture);
        QFETCH(bool, combed);
        QFETCH(bool, ghosted);
        QCOMPARE(combedColumns(picture) > kMaxCombedColumns, combed);
        QCOMPARE(ghostColumns(picture) > kMaxGhostColumns, ghosted);
    }

    void interlacedDiscGivesCleanStills() {
        const QString folder = snapshots_->filePath("INTERLACED Images");
        QVERIFY(QDir().mkpath(folder));
        engine_->addTarget("dvd://I:", itemOptions(folder), 2, 0);
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->playing() && framesSeen() > 10, kStartMs);
        for (int i = 0; i < 5; ++i) {
            pressSnapshot();
            QTest::qWait(230);
        }
        QVERIFY(assembly_->writer().waitForIdle(10000));
        const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 5);
        for (const QString& file : files) {
            const QImage still(QDir(folder).filePath(file));
            QCOMPARE(still.size(), QSize(768, 576));
            const int combed = combedColumns(still), ghosts = ghostColumns(still);
            qInfo("%s: combed columns %d, half-bright columns %d", qPrintable(file), combed,
                  ghosts);
            QVERIFY2(combed <= kMaxCombedColumns, qPrintable(file));
            QVERIFY2(ghosts <= kMaxGhostColumns, qPrintable(file));
        }
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
        QCOMPARE(stage->engine(), static_cast<MediaEngine*>(engine_));
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
    static constexpr int kMaxCombedColumns = 8;
    static constexpr int kMaxGhostColumns = 12;

    // A white bar 34 px wide (32 px of a 720 px frame shown 768 px wide) on black.
    static QImage barPicture(int x) {
        QImage picture(768, 576, QImage::Format_RGB32);
        picture.fill(Qt::black);
        for (int y = 0; y < picture.height(); ++y)
            for (int dx = 0; dx < 34; ++dx)
                picture.setPixel(x + dx, y, qRgb(255, 255, 255));
        return picture;
    }

    // Columns where most neighbouring lines alternate between bright and dark: two moments
    // woven line by line.
    static int combedColumns(const QImage& picture) {
        int columns = 0;
        for (int x = 0; x < picture.width(); ++x) {
            int alternations = 0, lines = 0;
            for (int y = 100; y + 2 < picture.height() - 100; ++y, ++lines) {
                const int a = qGray(picture.pixel(x, y)), b = qGray(picture.pixel(x, y + 1)),
                          c = qGray(picture.pixel(x, y + 2));
                if (std::abs(a - b) > 96 && std::abs(b - c) > 96 && (a > b) == (c > b))
                    ++alternations;
            }
            columns += alternations * 4 > lines ? 1 : 0;
        }
        return columns;
    }

    // Columns that are half bright all the way down (median grey between dark and bright): the
    // copies of the bar a blend of two fields leaves. A sharp bar has only its edge columns.
    static int ghostColumns(const QImage& picture) {
        int columns = 0;
        std::vector<int> levels;
        for (int x = 0; x < picture.width(); ++x) {
            levels.clear();
            for (int y = 100; y < picture.height() - 100; ++y)
                levels.push_back(qGray(picture.pixel(x, y)));
            std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
            const int median = levels[levels.size() / 2];
            columns += median >= 64 && median <= 192 ? 1 : 0;
        }
        return columns;
    }

    // The menu of menu.iso is a solid blue picture.
    bool isMenuPicture() {
        const auto frame = engine_->frameStore()->latest();
        if (!frame)
            return false;
        const QRgb corner = frame->image.pixel(40, 40);
        return qBlue(corner) > 150 && qRed(corner) < 60 && qGreen(corner) < 60;
    }

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
    std::unique_ptr<EngineAssembly> assembly_; // the engine with its writer and full screen
    VlcEngine* engine_ = nullptr;
};

QTEST_MAIN(TestVlcEngineE2E)
#include "tst_vlcengine_e2e.moc"
