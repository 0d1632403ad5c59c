// The options of a media item as the writer reads them, and what the writer puts on disk for
// requests of the newest frame.
#include "capture/SnapshotFolder.h"
#include "capture/SnapshotWriter.h"
#include "engine/FrameStore.h"
#include "support/TestFiles.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QSize kPal(720, 576);
const QSize kPal43(768, 576);

// A picture whose left and right halves differ, so scaling and encoding can be checked.
QImage testPicture(QSize size, QColor left = Qt::red, QColor right = Qt::blue) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, size.width() / 2, size.height()), left);
    painter.fillRect(QRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height()),
                     right);
    return image;
}

SnapshotOptions itemOptions(const QString& folder, const QString& prefix = QStringLiteral("IMG_"),
                            const QString& format = QStringLiteral("PNG")) {
    return SnapshotOptions::fromItemOptions(
        {QStringLiteral("snapshot-prefix=") + prefix, QStringLiteral("snapshot-path=") + folder,
         QStringLiteral("snapshot-format=") + format, QStringLiteral("snapshot-sequential"),
         QStringLiteral("no-snapshot-preview")});
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestSnapshotWriter : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_.reset(new QTemporaryDir);
        QVERIFY(dir_->isValid());
        frames_.reset(new FrameStore);
        writer_.reset(new SnapshotWriter);
        writer_->setOptions(itemOptions(dir_->path()));
    }

    void cleanup() {
        writer_.reset();
        frames_.reset();
        dir_.reset();
    }

    void parsesTheItemOptions() {
        const SnapshotOptions options =
            itemOptions(QStringLiteral("/home/u//MOVIE Images"), QStringLiteral("ab=c"));
        QCOMPARE(options.folder, QStringLiteral("/home/u//MOVIE Images"));
        QCOMPARE(options.prefix, QStringLiteral("ab=c"));
        QCOMPARE(options.format, SnapshotFormat::Png);
        QVERIFY(options.sequential);
        QVERIFY(!options.preview);
        const auto format = [](const QString& option) {
            return SnapshotOptions::fromItemOptions({option}).format;
        };
        QCOMPARE(format("snapshot-format=jpg"), SnapshotFormat::Jpg);
        QCOMPARE(format(":snapshot-format=Jpeg"), SnapshotFormat::Jpg);
        QCOMPARE(format("snapshot-format=tiff"), SnapshotFormat::Png);
    }

    void fileName() {
        const auto name = [](const char* prefix, int number, SnapshotFormat format) {
            return snapshotFileName(prefix, number, format);
        };
        QCOMPARE(name("IMG_", 42, SnapshotFormat::Jpg), QString("IMG_00042.jpg"));
        QCOMPARE(name("a", 100000, SnapshotFormat::Png), QString("a100000.png"));
        // A separator in the prefix cannot lead out of the folder.
        QCOMPARE(name("../x", 3, SnapshotFormat::Png), QString(".._x00003.png"));
    }

    void writesNumberedImagesAtDisplaySize_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QSize>("display");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("PNG, 4:3") << "png" << kPal43 << QByteArray("\x89PNG");
        QTest::newRow("JPG, 16:9") << "jpg" << QSize(1024, 576) << QByteArray("\xFF\xD8\xFF");
    }
    void writesNumberedImagesAtDisplaySize() {
        QFETCH(QString, format);
        QFETCH(QSize, display);
        QFETCH(QByteArray, magic);
        writer_->setOptions(itemOptions(dir_->path(), QStringLiteral("IMG_"), format));
        frames_->publish(testPicture(kPal), display);
        press();
        press();
        QVERIFY(writer_->waitForIdle(10000));
        const QString first = "IMG_00001." + format;
        QCOMPARE(filesIn(dir_->path()), (QStringList{first, "IMG_00002." + format}));
        QVERIFY(readFile(dir_->filePath(first)).startsWith(magic));
        const QImage image(dir_->filePath(first));
        QCOMPARE(image.size(), display);
        // The colour boundary stays in the middle: the picture is stretched, not cropped.
        QVERIFY(QColor(image.pixel(display.width() / 2 - 8, 10)).red() > 200);
        QVERIFY(QColor(image.pixel(display.width() / 2 + 8, 10)).blue() > 200);
        QCOMPARE(writer_->counters().requested, 2u);
        QCOMPARE(writer_->counters().written, 2u);
    }

    // A frame the video area shows at its display size comes already scaled; the writer takes
    // that picture instead of scaling the frame a second time, and only at that size.
    void aPictureScaledForTheScreenAtDisplaySizeIsTaken_data() {
        QTest::addColumn<QSize>("shownSize");
        QTest::addColumn<bool>("taken");
        QTest::newRow("shown at the display size") << kPal43 << true;
        QTest::newRow("shown smaller") << QSize(432, 324) << false;
        QTest::newRow("not shown") << QSize() << false;
    }
    void aPictureScaledForTheScreenAtDisplaySizeIsTaken() {
        QFETCH(QSize, shownSize);
        QFETCH(bool, taken);
        // Green all over, so that it cannot be mistaken for the red and blue frame scaled here.
        const QImage shown =
            shownSize.isValid() ? testPicture(shownSize, Qt::green, Qt::green) : QImage();
        frames_->publish(testPicture(kPal), kPal43, shown, 1000000);
        press();
        QVERIFY(writer_->waitForIdle(10000));
        const QImage image(dir_->filePath("IMG_00001.png"));
        QCOMPARE(image.size(), kPal43);
        QCOMPARE(QColor(image.pixel(10, 10)).green() > 200, taken);
        QCOMPARE(QColor(image.pixel(10, 10)).red() > 200, !taken);
        // The scaling counts in the encoding figure wherever it ran.
        if (taken)
            QVERIFY(writer_->counters().encodeCpuNs >= 1000000);
    }

    void neverOverwritesAndTakesTheFirstFreeNumber() {
        const QByteArray marker("not an image, must survive");
        for (const char* name : {"IMG_00001.png", "IMG_00003.png"})
            QVERIFY(writeFile(dir_->filePath(name), marker));
        frames_->publish(testPicture(kPal), kPal43);
        for (int i = 0; i < 3; ++i)
            press();
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(filesIn(dir_->path()),
                 (QStringList{"IMG_00001.png", "IMG_00002.png", "IMG_00003.png", "IMG_00004.png",
                              "IMG_00005.png"}));
        for (const char* name : {"IMG_00001.png", "IMG_00003.png"})
            QCOMPARE(readFile(dir_->filePath(name)), marker);
        QVERIFY(!QImage(dir_->filePath("IMG_00004.png")).isNull());

        // A new item numbers from the first free number again.
        QVERIFY(QFile::remove(dir_->filePath("IMG_00002.png")));
        writer_->setOptions(itemOptions(dir_->path()));
        press();
        QVERIFY(writer_->waitForIdle(10000));
        QVERIFY(!QImage(dir_->filePath("IMG_00002.png")).isNull());
        QVERIFY(!QFile::exists(dir_->filePath("IMG_00006.png")));
    }

    void nothingIsWrittenWithoutAFrame() {
        press();
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(writer_->counters().noFrame, 1u);
        // Nor after the frames were cleared (playback stopped).
        frames_->publish(testPicture(kPal), kPal43);
        frames_->clear();
        press();
        QVERIFY(writer_->waitForIdle(10000));
        QVERIFY(filesIn(dir_->path()).isEmpty());
        QCOMPARE(writer_->counters().written, 0u);
    }

    void theImageIsTheFrameOfTheRequest() {
        frames_->publish(testPicture(kPal, Qt::green, Qt::green), kPal43);
        press();
        frames_->publish(testPicture(kPal, Qt::black, Qt::black), kPal43);
        press();
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(QColor(QImage(dir_->filePath("IMG_00001.png")).pixel(5, 5)), QColor(Qt::green));
        QCOMPARE(QColor(QImage(dir_->filePath("IMG_00002.png")).pixel(5, 5)), QColor(Qt::black));
    }

    void noUsableFolderWritesNothingAndLaterRequestsWork_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing parent") << "missing";
        QTest::newRow("a file in the way") << "file";
    }
    void noUsableFolderWritesNothingAndLaterRequestsWork() {
        QFETCH(QString, kind);
        // The writer makes one missing level, never two.
        const QString folder = dir_->filePath(kind == "missing" ? "gone/shots" : "shots");
        if (kind == "file")
            QVERIFY(writeFile(folder, "a file"));
        writer_->setOptions(itemOptions(folder));
        frames_->publish(testPicture(kPal), kPal43);
        press();
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(writer_->counters().failed, 1u);
        QVERIFY(!writer_->lastError().isEmpty());
        if (kind == "missing")
            QVERIFY(!QFileInfo::exists(dir_->filePath("gone"))); // not made by the writer
        else
            QCOMPARE(readFile(folder), QByteArray("a file"));

        // The folder becomes usable: the next request succeeds.
        QFile::remove(folder);
        QVERIFY(QDir().mkpath(folder));
        press();
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(filesIn(folder), QStringList{"IMG_00001.png"});
        QCOMPARE(writer_->counters().written, 1u);
    }

    // A write that fails halfway (here: the file size limit, as on a full disk) leaves no
    // truncated image behind, and the next request is written once space is back.
    void aFailedWriteLeavesNoPartialFile() {
        frames_->publish(testPicture(kPal), kPal43);
        QVERIFY(onFullDisk([this] { press(); }));
        QVERIFY(filesIn(dir_->path()).isEmpty());
        QCOMPARE(writer_->counters().failed, 1u);

        press();
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(filesIn(dir_->path()), QStringList{"IMG_00001.png"});
        QVERIFY(!QImage(dir_->filePath("IMG_00001.png")).isNull());
    }

    // The last seconds: a series longer than the bound on queued frames is written whole, in
    // order, after the images already there; on a full disk it leaves no partial file and each
    // lost image is reported.
    void aSeriesIsWrittenWholeInOrderAndFailsCleanly() {
        QVERIFY(writeFile(dir_->filePath("IMG_00001.png"), "taken"));
        const int count = SnapshotWriter::kMaxPendingFrames + 19;
        const auto hueOf = [](int frame) { return frame * 7 % 360; };
        for (int i = 0; i < count; ++i) {
            const QColor colour = QColor::fromHsv(hueOf(i), 255, 255);
            frames_->publish(testPicture(kPal, colour, colour), kPal43);
        }
        const auto series = frames_->history();
        QCOMPARE(int(series.size()), count);
        writer_->setPaused(true); // the whole series waits in the queue
        writer_->seriesRequested(series);
        writer_->setPaused(false);
        QVERIFY(writer_->waitForIdle(60000));
        const QStringList files = filesIn(dir_->path());
        QCOMPARE(files.size(), count + 1);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(files[i + 1], snapshotFileName("IMG_", i + 2, SnapshotFormat::Png));
            const QImage image(dir_->filePath(files[i + 1]));
            QCOMPARE(image.size(), kPal43);
            QVERIFY(qAbs(image.pixelColor(100, 100).hue() - hueOf(i)) <= 2);
        }

        QSignalSpy failures(writer_.get(), &SnapshotWriter::writeFailed);
        QVERIFY(onFullDisk([&] {
            writer_->seriesRequested({series.begin(), series.begin() + 3});
        }));
        QCOMPARE(filesIn(dir_->path()), files);
        QCOMPARE(writer_->counters().failed, 3u);
        QTRY_COMPARE(failures.count(), 3);
    }

    // Continuous capture: requests every few milliseconds while frames change every few
    // requests. Every request becomes a complete image, numbered without gaps, in order.
    void burstOfRequests_data() {
        QTest::addColumn<QString>("format");
        QTest::newRow("PNG") << "PNG";
        QTest::newRow("JPG") << "JPG";
    }
    void burstOfRequests() {
        QFETCH(QString, format);
        writer_->setOptions(itemOptions(dir_->path(), QStringLiteral("IMG_"), format));
        constexpr int requests = 300;
        const auto colourOf = [](int request) {
            return QColor::fromHsv(((request / 4 * 4) * 7) % 360, 255, 255);
        };
        for (int i = 0; i < requests; ++i) {
            if (i % 4 == 0)
                frames_->publish(testPicture(kPal, colourOf(i), colourOf(i)), kPal43);
            press();
        }
        QVERIFY(writer_->waitForIdle(60000));
        const auto counters = writer_->counters();
        QCOMPARE(counters.requested, quint64(requests));
        QCOMPARE(counters.written + counters.dropped, quint64(requests));
        QCOMPARE(counters.failed, 0u);
        // Repeated requests of one frame share its encoding.
        QVERIFY(counters.encoded <= quint64(requests / 4));

        const QStringList files = filesIn(dir_->path());
        QCOMPARE(quint64(files.size()), counters.written);
        const auto type = format == "PNG" ? SnapshotFormat::Png : SnapshotFormat::Jpg;
        // The files are the requests that were not dropped, in order, each holding the frame that
        // was current at its request: file n stands for some request r, later than the previous
        // file's, among the four requests made while its frame was the latest one. With nothing
        // dropped that is request n itself.
        int request = -1;
        for (int i = 0; i < files.size(); ++i) {
            QCOMPARE(files[i], snapshotFileName("IMG_", i + 1, type));
            const QImage image(dir_->filePath(files[i]));
            QCOMPARE(image.size(), kPal43);
            const int hue = image.pixelColor(100, 100).hue();
            const auto distance = [hue, &colourOf](int k) {
                const int d = qAbs(colourOf(k * 4).hue() - hue);
                return qMin(d, 360 - d);
            };
            int frame = 0;
            for (int k = 1; k < requests / 4; ++k)
                if (distance(k) < distance(frame))
                    frame = k;
            QVERIFY2(distance(frame) <= 2, qPrintable(files[i]));
            request = qMax(request + 1, frame * 4);
            QVERIFY2(request <= frame * 4 + 3, qPrintable(files[i]));
        }
    }

    // While the disk does not keep up, requests beyond the queue's bounds (distinct frames, or
    // requests of one frame) are dropped and counted instead of piling up; the queued ones are
    // all written afterwards.
    void queueIsBoundedWhileWritingStalls_data() {
        QTest::addColumn<bool>("newFrameEachTime");
        QTest::addColumn<int>("bound");
        QTest::newRow("distinct frames") << true << SnapshotWriter::kMaxPendingFrames;
        QTest::newRow("one frame") << false << SnapshotWriter::kMaxPendingRequests;
    }
    void queueIsBoundedWhileWritingStalls() {
        QFETCH(bool, newFrameEachTime);
        QFETCH(int, bound);
        writer_->setPaused(true);
        for (int i = 0; i < bound + 10; ++i) {
            if (newFrameEachTime || i == 0)
                frames_->publish(testPicture({64, 48}), QSize(64, 48));
            press();
        }
        QCOMPARE(writer_->counters().dropped, 10u);
        QCOMPARE(writer_->counters().written, 0u);
        writer_->setPaused(false);
        QVERIFY(writer_->waitForIdle(60000));
        QCOMPARE(writer_->counters().written, quint64(bound));
        QCOMPARE(filesIn(dir_->path()).size(), bound);
        if (!newFrameEachTime)
            QCOMPARE(writer_->counters().encoded, 1u);
    }

    void destructionFinishesQueuedImages() {
        frames_->publish(testPicture(kPal), kPal43);
        for (int i = 0; i < 5; ++i)
            press();
        writer_.reset();
        QCOMPARE(filesIn(dir_->path()).size(), 5);
    }

private:
    // Makes the requests as on a full disk (a file size limit of 64 bytes) and waits until the
    // writer is idle; false when the limit cannot be set or lifted or the writer does not finish.
    template <typename Requests> bool onFullDisk(Requests requests) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        if (getrlimit(RLIMIT_FSIZE, &saved) != 0)
            return false;
        rlimit tiny = saved;
        tiny.rlim_cur = 64; // bytes
        if (setrlimit(RLIMIT_FSIZE, &tiny) != 0)
            return false;
        requests();
        const bool idle = writer_->waitForIdle(10000);
        return setrlimit(RLIMIT_FSIZE, &saved) == 0 && idle;
    }

    // What the engine does on a press of the snapshot key.
    void press() { writer_->snapshotRequested(frames_->latest()); }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FrameStore> frames_;
    std::unique_ptr<SnapshotWriter> writer_;
};

QTEST_MAIN(TestSnapshotWriter)
#include "tst_snapshotwriter.moc"
