// What the real engine's pictures become on the authored discs: snapshots through its sink,
// stills of an interlaced title, the full-screen view.
#include "EngineFixture.h"
#include "Fixtures.h"
#include "capture/SnapshotWriter.h"
#include "engine/FrameStore.h"
#include "engine/VlcEngine.h"
#include "video/VideoStage.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QtTest>
#include <algorithm>
#include <cstring>
#include <vector>

class TestVlcPicturesE2E : public QObject, private EngineFixture {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(missingDisc().isEmpty(), qPrintable(missingDisc())); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

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
};

QTEST_MAIN(TestVlcPicturesE2E)
#include "tst_vlcpictures_e2e.moc"
