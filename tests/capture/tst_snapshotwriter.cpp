#include "capture/SnapshotWriter.h"
#include "playback/FrameStore.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

constexpr int kSnapshotKey = 83;

// A picture whose left and right halves differ, so scaling and encoding can be checked.
QImage testPicture(QSize size, QColor left = Qt::red, QColor right = Qt::blue) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, size.width() / 2, size.height()), left);
    painter.fillRect(QRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height()),
                     right);
    return image;
}

QStringList itemOptions(const QString& folder, const QString& prefix = QStringLiteral("IMG_"),
                        const QString& format = QStringLiteral("PNG")) {
    return {QStringLiteral("snapshot-prefix=") + prefix, QStringLiteral("snapshot-path=") + folder,
            QStringLiteral("snapshot-format=") + format, QStringLiteral("snapshot-sequential"),
            QStringLiteral("no-snapshot-preview")};
}

void press(SnapshotWriter& writer) {
    writer.setVariable(QStringLiteral("key-snapshot"), kSnapshotKey);
    writer.setVariable(QStringLiteral("key-pressed"), kSnapshotKey);
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

// The options of a media item as the writer reads them.
class TestSnapshotOptions : public QObject {
    Q_OBJECT
private slots:
    void parsesTheItemOptions() {
        const SnapshotOptions options = SnapshotOptions::fromItemOptions(
            itemOptions(QStringLiteral("/home/u//MOVIE Images"), QStringLiteral("ab=c")));
        QCOMPARE(options.folder, QStringLiteral("/home/u//MOVIE Images"));
        QCOMPARE(options.prefix, QStringLiteral("ab=c"));
        QCOMPARE(options.format, SnapshotFormat::Png);
        QVERIFY(options.sequential);
        QVERIFY(!options.preview);
    }

    void format_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<SnapshotFormat>("format");
        QTest::newRow("PNG") << "snapshot-format=PNG" << SnapshotFormat::Png;
        QTest::newRow("JPG") << "snapshot-format=JPG" << SnapshotFormat::Jpg;
        QTest::newRow("jpg") << "snapshot-format=jpg" << SnapshotFormat::Jpg;
        QTest::newRow("jpeg") << ":snapshot-format=Jpeg" << SnapshotFormat::Jpg;
        QTest::newRow("unknown") << "snapshot-format=tiff" << SnapshotFormat::Png;
    }
    void format() {
        QFETCH(QString, option);
        QFETCH(SnapshotFormat, format);
        QCOMPARE(SnapshotOptions::fromItemOptions({option}).format, format);
    }

    void fileName_data() {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("number");
        QTest::addColumn<SnapshotFormat>("format");
        QTest::addColumn<QString>("name");
        QTest::newRow("first") << "IMG_" << 1 << SnapshotFormat::Png << "IMG_00001.png";
        QTest::newRow("jpg") << "IMG_" << 42 << SnapshotFormat::Jpg << "IMG_00042.jpg";
        QTest::newRow("no prefix") << "" << 99999 << SnapshotFormat::Png << "99999.png";
        QTest::newRow("past five digits") << "a" << 100000 << SnapshotFormat::Png << "a100000.png";
        QTest::newRow("separator") << "../x" << 3 << SnapshotFormat::Png << ".._x00003.png";
    }
    void fileName() {
        QFETCH(QString, prefix);
        QFETCH(int, number);
        QFETCH(SnapshotFormat, format);
        QFETCH(QString, name);
        QCOMPARE(SnapshotOptions::fileName(prefix, number, format), name);
    }
};

// What the writer puts on disk for requests of the newest frame.
class TestSnapshotWriter : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_.reset(new QTemporaryDir);
        QVERIFY(dir_->isValid());
        frames_.reset(new FrameStore);
        writer_.reset(new SnapshotWriter(frames_.get()));
        writer_->setOptions(SnapshotOptions::fromItemOptions(itemOptions(dir_->path())));
    }
    void cleanup() {
        writer_.reset();
        frames_.reset();
        dir_.reset();
    }

    void writesNumberedPngAtDisplaySize() {
        frames_->publish(testPicture({720, 576}), QSize(768, 576));
        press(*writer_);
        press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(filesIn(dir_->path()), (QStringList{"IMG_00001.png", "IMG_00002.png"}));
        QImageReader reader(dir_->filePath("IMG_00001.png"));
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(768, 576));
        QCOMPARE(QColor(image.pixel(10, 300)), QColor(Qt::red));
        QCOMPARE(QColor(image.pixel(757, 300)), QColor(Qt::blue));
        const auto counters = writer_->counters();
        QCOMPARE(counters.requested, 2u);
        QCOMPARE(counters.written, 2u);
        QCOMPARE(counters.failed, 0u);
        QCOMPARE(counters.dropped, 0u);
    }

    void scalesToTheDisplayAspectRatio_data() {
        QTest::addColumn<QSize>("coded");
        QTest::addColumn<QSize>("display");
        QTest::newRow("PAL 4:3") << QSize(720, 576) << QSize(768, 576);
        QTest::newRow("PAL 16:9") << QSize(720, 576) << QSize(1024, 576);
        QTest::newRow("square pixels") << QSize(640, 480) << QSize(640, 480);
    }
    void scalesToTheDisplayAspectRatio() {
        QFETCH(QSize, coded);
        QFETCH(QSize, display);
        frames_->publish(testPicture(coded), display);
        press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        const QImage image(dir_->filePath("IMG_00001.png"));
        QCOMPARE(image.size(), display);
        // The colour boundary stays in the middle: the picture is stretched, not cropped.
        QCOMPARE(QColor(image.pixel(display.width() / 2 - 8, 10)), QColor(Qt::red));
        QCOMPARE(QColor(image.pixel(display.width() / 2 + 8, 10)), QColor(Qt::blue));
    }

    void jpgWritesJpegData() {
        writer_->setOptions(SnapshotOptions::fromItemOptions(
            itemOptions(dir_->path(), QStringLiteral("J"), QStringLiteral("jpg"))));
        frames_->publish(testPicture({720, 576}), QSize(768, 576));
        press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(filesIn(dir_->path()), QStringList{"J00001.jpg"});
        QFile file(dir_->filePath("J00001.jpg"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(3), QByteArray("\xFF\xD8\xFF", 3));
        file.close();
        QImageReader reader(file.fileName());
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        QCOMPARE(reader.read().size(), QSize(768, 576));
    }

    void neverOverwritesAndTakesTheFirstFreeNumber() {
        const QByteArray marker("not an image, must survive");
        for (const char* name : {"IMG_00001.png", "IMG_00003.png"}) {
            QFile existing(dir_->filePath(name));
            QVERIFY(existing.open(QIODevice::WriteOnly));
            existing.write(marker);
        }
        frames_->publish(testPicture({720, 576}), QSize(768, 576));
        for (int i = 0; i < 3; ++i)
            press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(filesIn(dir_->path()),
                 (QStringList{"IMG_00001.png", "IMG_00002.png", "IMG_00003.png", "IMG_00004.png",
                              "IMG_00005.png"}));
        for (const char* name : {"IMG_00001.png", "IMG_00003.png"}) {
            QFile existing(dir_->filePath(name));
            QVERIFY(existing.open(QIODevice::ReadOnly));
            QCOMPARE(existing.readAll(), marker);
        }
        QVERIFY(!QImage(dir_->filePath("IMG_00004.png")).isNull());
    }

    void aNewItemNumbersFromTheFirstFreeNumber() {
        frames_->publish(testPicture({720, 576}), QSize(768, 576));
        press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        QVERIFY(QFile::remove(dir_->filePath("IMG_00001.png")));
        writer_->setOptions(SnapshotOptions::fromItemOptions(itemOptions(dir_->path())));
        press(*writer_);
        press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(filesIn(dir_->path()), (QStringList{"IMG_00001.png", "IMG_00002.png"}));
    }

    void onlyTheBoundKeyTakesAnImage() {
        frames_->publish(testPicture({720, 576}), QSize(768, 576));
        writer_->setVariable(QStringLiteral("key-pressed"), kSnapshotKey); // nothing bound yet
        writer_->setVariable(QStringLiteral("key-snapshot"), kSnapshotKey);
        writer_->setVariable(QStringLiteral("key-pressed"), kSnapshotKey + 1);
        QVERIFY(!writer_->setVariable(QStringLiteral("volume"), 3));
        QVERIFY(writer_->waitForIdle(10000));
        QVERIFY(filesIn(dir_->path()).isEmpty());
        QCOMPARE(writer_->counters().requested, 0u);
        writer_->setVariable(QStringLiteral("key-pressed"), kSnapshotKey);
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(filesIn(dir_->path()), QStringList{"IMG_00001.png"});
    }

    void nothingIsWrittenBeforeTheFirstFrame() {
        press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        QVERIFY(filesIn(dir_->path()).isEmpty());
        QCOMPARE(writer_->counters().noFrame, 1u);
        QCOMPARE(writer_->counters().written, 0u);
        // Nor after the frames were cleared (playback stopped).
        frames_->publish(testPicture({720, 576}), QSize(768, 576));
        frames_->clear();
        press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        QVERIFY(filesIn(dir_->path()).isEmpty());
    }

    void theImageIsTheFrameOfTheRequest() {
        frames_->publish(testPicture({720, 576}, Qt::green, Qt::green), QSize(768, 576));
        press(*writer_);
        frames_->publish(testPicture({720, 576}, Qt::black, Qt::black), QSize(768, 576));
        press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(QColor(QImage(dir_->filePath("IMG_00001.png")).pixel(5, 5)), QColor(Qt::green));
        QCOMPARE(QColor(QImage(dir_->filePath("IMG_00002.png")).pixel(5, 5)), QColor(Qt::black));
    }

    void aMissingFolderWritesNothingAndLaterRequestsWork() {
        const QString missing = dir_->filePath("gone");
        writer_->setOptions(SnapshotOptions::fromItemOptions(itemOptions(missing)));
        frames_->publish(testPicture({720, 576}), QSize(768, 576));
        press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        QVERIFY(!QFileInfo::exists(missing));
        QCOMPARE(writer_->counters().failed, 1u);
        QVERIFY(!writer_->lastError().isEmpty());

        QVERIFY(QDir().mkpath(missing)); // the folder appears: the next request succeeds
        press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(filesIn(missing), QStringList{"IMG_00001.png"});
        QCOMPARE(writer_->counters().written, 1u);
    }

    void anUnwritableFolderWritesNothing() {
        if (::geteuid() == 0)
            QSKIP("permissions do not apply to root");
        const QString locked = dir_->filePath("locked");
        QVERIFY(QDir().mkpath(locked));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        writer_->setOptions(SnapshotOptions::fromItemOptions(itemOptions(locked)));
        frames_->publish(testPicture({720, 576}), QSize(768, 576));
        press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        QVERIFY(
            QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(filesIn(locked).isEmpty());
        QCOMPARE(writer_->counters().failed, 1u);
    }

    // A write that fails halfway (here: the file size limit, as on a full disk) leaves no
    // truncated image behind, and the next request is written once space is back.
    void aFailedWriteLeavesNoPartialFile() {
        frames_->publish(testPicture({720, 576}), QSize(768, 576));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit tiny = saved;
        tiny.rlim_cur = 64; // bytes
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
        press(*writer_);
        const bool idle = writer_->waitForIdle(10000);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);
        QVERIFY(idle);
        QVERIFY(filesIn(dir_->path()).isEmpty());
        QCOMPARE(writer_->counters().failed, 1u);

        press(*writer_);
        QVERIFY(writer_->waitForIdle(10000));
        QCOMPARE(filesIn(dir_->path()), QStringList{"IMG_00001.png"});
        QVERIFY(!QImage(dir_->filePath("IMG_00001.png")).isNull());
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
        writer_->setOptions(SnapshotOptions::fromItemOptions(
            itemOptions(dir_->path(), QStringLiteral("IMG_"), format)));
        constexpr int requests = 300;
        QList<QColor> colours;
        for (int i = 0; i < requests; ++i) {
            if (i % 4 == 0) {
                const QColor colour = QColor::fromHsv((i * 7) % 360, 255, 255);
                frames_->publish(testPicture({720, 576}, colour, colour), QSize(768, 576));
            }
            colours.append(QColor::fromHsv(((i / 4 * 4) * 7) % 360, 255, 255));
            press(*writer_);
        }
        QVERIFY(writer_->waitForIdle(60000));
        const auto counters = writer_->counters();
        QCOMPARE(counters.requested, quint64(requests));
        QCOMPARE(counters.written + counters.dropped, quint64(requests));
        QCOMPARE(counters.failed, 0u);

        const QStringList files = filesIn(dir_->path());
        QCOMPARE(quint64(files.size()), counters.written);
        const QString extension = format == "PNG" ? ".png" : ".jpg";
        for (int i = 0; i < files.size(); ++i) {
            QCOMPARE(files[i], SnapshotOptions::fileName("IMG_", i + 1,
                                                         format == "PNG" ? SnapshotFormat::Png
                                                                         : SnapshotFormat::Jpg));
            const QImage image(dir_->filePath(files[i]));
            QVERIFY2(!image.isNull(), qPrintable(files[i]));
            QCOMPARE(image.size(), QSize(768, 576));
        }
        if (counters.dropped == 0) {
            // Nothing dropped: file n holds the frame of request n.
            for (int i = 0; i < files.size(); i += 17) {
                const QColor got = QImage(dir_->filePath(files[i])).pixelColor(100, 100);
                QVERIFY2(qAbs(got.hue() - colours[i].hue()) <= 2, qPrintable(files[i]));
            }
        }
        // Repeated requests of one frame share its encoding.
        QVERIFY(counters.encoded <= quint64(requests / 4));
    }

    // While the disk does not keep up, requests beyond the queue's bounds are dropped and
    // counted instead of piling up frames; the queued ones are all written afterwards.
    void queueIsBoundedWhileWritingStalls() {
        writer_->setPaused(true);
        const int distinct = SnapshotWriter::kMaxPendingFrames + 10;
        for (int i = 0; i < distinct; ++i) {
            frames_->publish(testPicture({64, 48}), QSize(64, 48));
            press(*writer_);
        }
        auto counters = writer_->counters();
        QCOMPARE(counters.dropped, 10u);
        QCOMPARE(counters.written, 0u);

        writer_->setPaused(false);
        QVERIFY(writer_->waitForIdle(60000));
        QCOMPARE(writer_->counters().written, quint64(SnapshotWriter::kMaxPendingFrames));
        QCOMPARE(filesIn(dir_->path()).size(), SnapshotWriter::kMaxPendingFrames);
    }

    void repeatedRequestsAreBoundedToo() {
        writer_->setPaused(true);
        frames_->publish(testPicture({64, 48}), QSize(64, 48));
        const int requests = SnapshotWriter::kMaxPendingRequests + 25;
        for (int i = 0; i < requests; ++i)
            press(*writer_);
        QCOMPARE(writer_->counters().dropped, 25u);
        writer_->setPaused(false);
        QVERIFY(writer_->waitForIdle(60000));
        const auto counters = writer_->counters();
        QCOMPARE(counters.written, quint64(SnapshotWriter::kMaxPendingRequests));
        QCOMPARE(counters.encoded, 1u);
        QCOMPARE(filesIn(dir_->path()).size(), SnapshotWriter::kMaxPendingRequests);
    }

    void destructionFinishesQueuedImages() {
        frames_->publish(testPicture({720, 576}), QSize(768, 576));
        for (int i = 0; i < 5; ++i)
            press(*writer_);
        writer_.reset();
        QCOMPARE(filesIn(dir_->path()).size(), 5);
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FrameStore> frames_;
    std::unique_ptr<SnapshotWriter> writer_;
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    int status = 0;
    {
        TestSnapshotOptions test;
        status |= QTest::qExec(&test, argc, argv);
    }
    {
        TestSnapshotWriter test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_snapshotwriter.moc"
