// Whole titles of the authored discs exported as the Tools menu does, checked picture by picture
// against the frame numbers coded into them and against another decoder.
#include "Fixtures.h"
#include "FrameCode.h"
#include "ReferenceDecode.h"
#include "Sandbox.h"
#include "TestFiles.h"
#include "export/ContactSheet.h"
#include "export/ExportRun.h"
#include "export/TitleExport.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

ExportRequest requestFor(const QString& medium, const QString& folder, int title) {
    ExportRequest request;
    request.medium = medium;
    request.discLabel = QStringLiteral("STEPS");
    request.title = title;
    request.folder = folder;
    request.prefix = QStringLiteral("IMG_");
    return request;
}

ExportReport exportNow(const ExportRequest& request) {
    std::atomic<bool> cancelled{false};
    return ExportRun{request, cancelled, {}}.run();
}

QStringList imagesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.png"), QStringLiteral("*.jpg")}, QDir::Files,
                                  QDir::Name);
}

// Every file of the folder is a whole image.
bool allComplete(const QString& folder) {
    for (const QString& name : imagesIn(folder)) {
        QImageReader reader(QDir(folder).filePath(name));
        if (reader.read().isNull()) {
            qWarning("%s: %s", qPrintable(name), qPrintable(reader.errorString()));
            return false;
        }
    }
    return true;
}

// A copy of the steps disc's VIDEO_TS folder that a test may damage.
QString copyOfSteps(const QTemporaryDir& scratch) {
    const QDir from(fixture(QStringLiteral("STEPS_DVD/VIDEO_TS")));
    const QString to = scratch.filePath(QStringLiteral("disc/VIDEO_TS"));
    QDir().mkpath(to);
    for (const QString& name : from.entryList(QDir::Files))
        QFile::copy(from.filePath(name), QDir(to).filePath(name));
    return scratch.filePath(QStringLiteral("disc"));
}

} // namespace

class TitleExportE2e : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(QFileInfo::exists(fixture(QStringLiteral("steps.iso"))));
        QVERIFY(programDir_.isValid());
        platform::setProgramFolder(programDir_.path());
    }

    // The picture on screen at each multiple of the interval, exactly: the frame number coded
    // into it, and another decoder's picture of that frame. Files already there keep their
    // numbers and their bytes.
    void everyIntervalIsTheReferencePicture_data() {
        QTest::addColumn<QString>("medium");
        QTest::addColumn<int>("title");
        QTest::addColumn<int>("firstChapter");
        QTest::addColumn<int>("lastChapter");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QList<int>>("frames"); // in the title
        QTest::addColumn<int>("vobOffset");     // the title's first frame in the VOB file
        QTest::newRow("folder, title 1 every 2 s")
            << fixture(QStringLiteral("STEPS_DVD")) << 1 << 1 << 0 << 2
            << QList<int>{0, 50, 100, 150, 200, 250} << 0;
        QTest::newRow("image, title 2 every 1 s")
            << fixture(QStringLiteral("steps.iso")) << 2 << 1 << 0 << 1
            << QList<int>{0, 25, 50, 75, 100, 125} << 300;
        QTest::newRow("image, title 1 chapter 2 only")
            << fixture(QStringLiteral("steps.iso")) << 1 << 2 << 2 << 1
            << QList<int>{100, 125, 150, 175} << 0;
        QTest::newRow("image, title 1 every 7 s")
            << fixture(QStringLiteral("steps.iso")) << 1 << 1 << 0 << 7 << QList<int>{0, 175} << 0;
    }
    void everyIntervalIsTheReferencePicture() {
        QFETCH(QString, medium);
        QFETCH(int, title);
        QFETCH(int, firstChapter);
        QFETCH(int, lastChapter);
        QFETCH(int, seconds);
        QFETCH(QList<int>, frames);
        QFETCH(int, vobOffset);
        QTemporaryDir folder;
        const QByteArray kept = "not an image, but the user's file";
        QVERIFY(writeFile(folder.filePath(QStringLiteral("IMG_00001.png")), kept));
        QVERIFY(writeFile(folder.filePath(QStringLiteral("IMG_00003.png")), kept));

        ExportRequest request = requestFor(medium, folder.path(), title);
        request.firstChapter = firstChapter;
        request.lastChapter = lastChapter;
        request.intervalSeconds = seconds;
        const ExportReport report = exportNow(request);
        QCOMPARE(report.outcome, ExportReport::Outcome::Done);
        QCOMPARE(report.images, quint64(frames.size()));

        QCOMPARE(readFile(folder.filePath(QStringLiteral("IMG_00001.png"))), kept);
        QCOMPARE(readFile(folder.filePath(QStringLiteral("IMG_00003.png"))), kept);
        QStringList written = imagesIn(folder.path());
        written.removeAll(QStringLiteral("IMG_00001.png"));
        written.removeAll(QStringLiteral("IMG_00003.png"));
        QCOMPARE(written.size(), frames.size());
        QCOMPARE(written.front(), QStringLiteral("IMG_00002.png"));
        QCOMPARE(written.at(1), QStringLiteral("IMG_00004.png"));

        const QString vob = fixture(QStringLiteral("STEPS_DVD/VIDEO_TS/VTS_01_1.VOB"));
        for (int i = 0; i < frames.size(); ++i) {
            const QImage image(folder.filePath(written.at(i)));
            QCOMPARE(image.size(), QSize(768, 576));
            QVERIFY2(distinctColours(image) > 8, qPrintable(written.at(i)));
            QCOMPARE(frameCodeOf(image), frames.at(i));
            // Below the code: the same picture as the other decoder's, closer than to either
            // neighbouring frame's.
            const QRect below(0, 64, 768, 512);
            const QImage reference = referenceFrame(vob, vobOffset + frames.at(i), image.size());
            const QImage next = referenceFrame(vob, vobOffset + frames.at(i) + 1, image.size());
            const double same = meanAbsDifference(image.copy(below), reference.copy(below));
            const double off = meanAbsDifference(image.copy(below), next.copy(below));
            QVERIFY2(same < 4 && same * 2 < off,
                     qPrintable(QStringLiteral("%1: %2 against %3 for the next frame")
                                    .arg(written.at(i))
                                    .arg(same)
                                    .arg(off)));
        }
    }

    // Every picture of the title once, in order.
    void everyFrameWritesEachPictureOnce() {
        QTemporaryDir folder;
        ExportRequest request = requestFor(fixture(QStringLiteral("steps.iso")), folder.path(), 2);
        request.mode = ExportMode::EveryFrame;
        request.format = SnapshotFormat::Jpg;
        const ExportReport report = exportNow(request);
        QCOMPARE(report.outcome, ExportReport::Outcome::Done);
        const QStringList written = imagesIn(folder.path());
        QCOMPARE(report.images, quint64(150));
        QCOMPARE(written.size(), 150);
        for (int i = 0; i < written.size(); i += 7)
            QCOMPARE(frameCodeOf(QImage(folder.filePath(written.at(i)))), i);
        QCOMPARE(written.back(), QStringLiteral("IMG_00150.jpg"));
    }

    // The pictures of a chapter (0: the whole title), numbered from its first picture, at their
    // display size. A chapter that starts on an open group of pictures has its first pictures
    // predicted from the chapter before: none is lost or taken for another. At 29.97 pictures a
    // second the picture of each second is the one on screen then, floor(t * 30000 / 1001).
    void picturesOfAChapter_data() {
        QTest::addColumn<QString>("disc");
        QTest::addColumn<int>("chapter");
        QTest::addColumn<ExportMode>("mode"); // every picture, or one every second
        QTest::addColumn<QSize>("size");
        // From the chapter's first picture; empty: each picture, or one in 25, to its end.
        QTest::addColumn<QList<int>>("frames");
        QTest::addColumn<bool>("coded"); // the disc's pictures carry their numbers
        const auto every = ExportMode::EveryFrame, second = ExportMode::EveryInterval;
        const QSize pal(768, 576), ntsc(853, 480);
        QTest::newRow("open groups, chapter 1")
            << "opengop.iso" << 1 << every << pal << QList<int>{} << true;
        QTest::newRow("open groups, chapter 2")
            << "opengop.iso" << 2 << every << pal << QList<int>{} << true;
        QTest::newRow("open groups, chapter 3, each second")
            << "opengop.iso" << 3 << second << pal << QList<int>{} << true;
        QTest::newRow("NTSC 16:9")
            << "ntsc.iso" << 0 << second << ntsc
            << QList<int>{0, 29, 59, 89, 119, 149, 179, 209, 239, 269, 299, 329, 359}
            // 360 pictures
            << true;
        QTest::newRow("NTSC, chapter 2") << "ntsc.iso" << 2 << second << ntsc
                                         << QList<int>{0, 29, 59, 89, 119, 149, 179} << true;
        QTest::newRow("PAL 16:9") << "wide.iso" << 0 << second << QSize(1024, 576) << QList<int>{}
                                  << false;
    }
    void picturesOfAChapter() {
        QFETCH(QString, disc);
        QFETCH(int, chapter);
        QFETCH(ExportMode, mode);
        QFETCH(QSize, size);
        QFETCH(QList<int>, frames);
        QFETCH(bool, coded);
        const TitleList list = TitleExport::titles(fixture(disc));
        QCOMPARE(list.titles.size(), size_t(1));
        const TitleSummary& title = list.titles.front();
        const auto picture = [&](qint64 ms) {
            return int(std::lround(ms * title.frameRate / 1000));
        };
        const size_t chapters = title.chapterStarts.size();
        const int first = chapter > 0 ? picture(title.chapterStarts.at(size_t(chapter - 1))) : 0;
        const int end = chapter > 0 && size_t(chapter) < chapters
                            ? picture(title.chapterStarts.at(size_t(chapter)))
                            : picture(title.lengthMs);
        const int step = mode == ExportMode::EveryFrame ? 1 : 25;
        if (frames.isEmpty())
            for (int offset = 0; first + offset < end; offset += step)
                frames << offset;

        QTemporaryDir folder;
        ExportRequest request = requestFor(fixture(disc), folder.path(), 1);
        request.firstChapter = std::max(1, chapter);
        request.lastChapter = chapter;
        request.mode = mode;
        request.intervalSeconds = 1;
        QCOMPARE(exportNow(request).outcome, ExportReport::Outcome::Done);
        const QStringList written = imagesIn(folder.path());
        QCOMPARE(written.size(), coded ? frames.size() : int(title.lengthMs / 1000));
        for (int i = 0; i < written.size(); ++i) {
            const QImage image(folder.filePath(written.at(i)));
            QCOMPARE(image.size(), size);
            if (coded)
                QCOMPARE(frameCodeOf(image), first + frames.at(i));
        }
    }

    // One image per shot: the range's first picture and the first after each cut, once; none
    // in a steady pan.
    void perShotFindsEachCutOnce_data() {
        QTest::addColumn<int>("title");
        QTest::addColumn<QList<int>>("frames"); // in the VOB file
        QTest::newRow("four shots") << 1 << QList<int>{0, 100, 200, 300};
        QTest::newRow("one steady pan") << 2 << QList<int>{400};
    }
    void perShotFindsEachCutOnce() {
        QFETCH(int, title);
        QFETCH(QList<int>, frames);
        QTemporaryDir folder;
        ExportRequest request =
            requestFor(fixture(QStringLiteral("cuts.iso")), folder.path(), title);
        request.mode = ExportMode::PerShot;
        const ExportReport report = exportNow(request);
        QCOMPARE(report.outcome, ExportReport::Outcome::Done);
        const QStringList written = imagesIn(folder.path());
        QCOMPARE(written.size(), frames.size());
        const QString vob = fixture(QStringLiteral("CUTS_DVD/VIDEO_TS/VTS_01_1.VOB"));
        for (int i = 0; i < frames.size(); ++i) {
            const QImage image(folder.filePath(written.at(i)));
            const double same =
                meanAbsDifference(image, referenceFrame(vob, frames.at(i), image.size()));
            QVERIFY2(same < 4, qPrintable(QStringLiteral("%1: %2").arg(written.at(i)).arg(same)));
        }
    }

    // The sheet: one image of the configured grid, each cell the picture at the middle of its
    // slice of the range, in reading order.
    void sheetHoldsThePictureOfEachCell() {
        QTemporaryDir folder;
        ExportRequest request = requestFor(fixture(QStringLiteral("steps.iso")), folder.path(), 1);
        request.mode = ExportMode::SheetOnly;
        request.sheetLayout = SheetLayout{4, 3, 1280};
        const ExportReport report = exportNow(request);
        QCOMPARE(report.outcome, ExportReport::Outcome::Done);
        QCOMPARE(imagesIn(folder.path()), QStringList{QStringLiteral("IMG_sheet_00001.png")});
        const QImage sheet(folder.filePath(QStringLiteral("IMG_sheet_00001.png")));
        const ContactSheet::Geometry geometry =
            ContactSheet::geometry(request.sheetLayout, QSize(768, 576));
        QCOMPARE(sheet.size(), geometry.size);
        QCOMPARE(geometry.pictures.size(), size_t(12));
        const std::vector<qint64> times = ContactSheet::times(12, 12000);
        for (size_t i = 0; i < geometry.pictures.size(); ++i) {
            const QImage cell = sheet.copy(geometry.pictures[i]);
            QVERIFY(distinctColours(cell) > 8);
            QCOMPARE(frameCodeOf(cell), int(times[i] / 40));
        }
    }

    // Cancel ends the export within a second; what is in the folder then are whole images, as
    // many as the report says.
    void cancelKeepsOnlyCompleteImages() {
        QTemporaryDir folder;
        TitleExport exporter;
        QSignalSpy progressed(&exporter, &TitleExport::progressed);
        QSignalSpy finished(&exporter, &TitleExport::finished);
        ExportRequest request =
            requestFor(fixture(QStringLiteral("shuttle.iso")), folder.path(), 1);
        request.mode = ExportMode::EveryFrame;
        QVERIFY(exporter.start(request));
        QVERIFY(!exporter.start(request)); // one at a time
        QTRY_VERIFY_WITH_TIMEOUT(imagesIn(folder.path()).size() >= 20, 20000);
        QVERIFY(!progressed.isEmpty());
        QElapsedTimer clock;
        clock.start();
        exporter.cancel();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        const auto report = finished.at(0).at(0).value<ExportReport>();
        QCOMPARE(report.outcome, ExportReport::Outcome::Cancelled);
        QVERIFY(report.images < 750);
        QCOMPARE(quint64(imagesIn(folder.path()).size()), report.images);
        QVERIFY(allComplete(folder.path()));
        QVERIFY(!exporter.running());
    }

    // A disk that fills up stops the export with the folder and the system's reason; the images
    // written before stay, and no partial one.
    void fullDiskStopsAndKeepsWhatWasWritten() {
        if (!sandbox::privateMounts())
            QSKIP("needs root for a private tmpfs");
        QTemporaryDir scratch;
        const QString folder = scratch.filePath(QStringLiteral("STEPS Images"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(sandbox::mountTinyDisk(folder, 3 * 1024 * 1024));
        ExportRequest request = requestFor(fixture(QStringLiteral("steps.iso")), folder, 2);
        request.mode = ExportMode::EveryFrame;
        const ExportReport report = exportNow(request);
        QCOMPARE(report.outcome, ExportReport::Outcome::WriteFailed);
        QCOMPARE(report.folder, folder);
        QVERIFY(!report.reason.isEmpty());
        QVERIFY(report.images > 0 && report.images < 150);
        QCOMPARE(quint64(imagesIn(folder).size()), report.images);
        QVERIFY(allComplete(folder));
    }

    // A sector that cannot be read is left out: the export goes on, counts it and logs it once.
    void unreadableSectorIsSkippedAndReported() {
        QTemporaryDir scratch;
        const QString disc = copyOfSteps(scratch);
        const QString vob = QDir(disc).filePath(QStringLiteral("VIDEO_TS/VTS_01_1.VOB"));
        qputenv("STILLBECK_FAIL_FILE", QFile::encodeName(vob));
        qputenv("STILLBECK_FAIL_FROM", QByteArray::number(2048 * 1500));
        qputenv("STILLBECK_FAIL_BYTES", QByteArray::number(2048 * 3));
        QFile::remove(programDir_.filePath(QStringLiteral("errorlog.txt")));
        const QString folder = scratch.filePath(QStringLiteral("out"));
        ExportRequest request = requestFor(disc, folder, 1);
        request.intervalSeconds = 1;
        request.mode = ExportMode::EveryFrame;
        const ExportReport report = exportNow(request);
        qunsetenv("STILLBECK_FAIL_FILE");
        QCOMPARE(report.outcome, ExportReport::Outcome::Done);
        QCOMPARE(report.skippedSectors, quint64(3));
        QVERIFY2(report.images > 280, qPrintable(QString::number(report.images)));
        const QByteArray log = readFile(programDir_.filePath(QStringLiteral("errorlog.txt")));
        QCOMPARE(log.count("cannot be read"), 1);
    }

    // Tables that are damaged, cut short or hostile give a message, never a crash.
    void damagedTablesAreRefused_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("damage");
        QTest::newRow("title set cut short") << QStringLiteral("VTS_01_0") << "cut";
        QTest::newRow("title set garbage") << QStringLiteral("VTS_01_0") << "garbage";
        QTest::newRow("manager cut short") << QStringLiteral("VIDEO_TS") << "cut";
        QTest::newRow("manager garbage") << QStringLiteral("VIDEO_TS") << "garbage";
        // Cut inside the title table's header: libdvdread frees the table twice and the process
        // that asked dies.
        QTest::newRow("manager cut in its title table") << QStringLiteral("VIDEO_TS") << "hostile";
    }
    void damagedTablesAreRefused() {
        QFETCH(QString, file);
        QFETCH(QString, damage);
        QTemporaryDir scratch;
        const QString disc = copyOfSteps(scratch);
        for (const char* extension : {".IFO", ".BUP"}) {
            const QString path =
                QDir(disc).filePath(QStringLiteral("VIDEO_TS/") + file + QLatin1String(extension));
            QByteArray bytes = readFile(path);
            if (damage == QLatin1String("cut")) {
                bytes.truncate(file == QLatin1String("VIDEO_TS") ? 300 : 700);
            } else if (damage == QLatin1String("garbage")) {
                for (qsizetype i = 12; i < bytes.size(); ++i) // the identifier stays
                    bytes[i] = char((i * 7919) >> 3);
            } else {
                const auto at = [&](qsizetype i) { return uint(uchar(bytes[i])); };
                const qsizetype table =
                    qsizetype(at(0xc4) << 24 | at(0xc5) << 16 | at(0xc6) << 8 | at(0xc7)) * 2048;
                QVERIFY(table > 0 && table + 8 <= bytes.size());
                bytes.truncate(table + 4);
            }
            QVERIFY(writeFile(path, bytes));
        }
        const TitleList titles = TitleExport::titles(disc);
        const ExportReport report = exportNow(requestFor(disc, scratch.filePath("out"), 1));
        QCOMPARE(report.outcome, ExportReport::Outcome::Unreadable);
        QVERIFY(!report.detail.isEmpty());
        QCOMPARE(titles.problem, TitleList::Problem::Unreadable);
        QVERIFY(imagesIn(scratch.filePath("out")).isEmpty());
    }

    // Scrambled video with no library to decrypt it is said so, and nothing is written.
    void encryptedTitleIsRefused() {
        QTemporaryDir scratch;
        const QString disc = copyOfSteps(scratch);
        const QString vob = QDir(disc).filePath(QStringLiteral("VIDEO_TS/VTS_01_1.VOB"));
        QByteArray bytes = readFile(vob);
        for (qsizetype pack = 0; pack + 2048 <= bytes.size(); pack += 2048)
            if (uchar(bytes[pack + 17]) == 0xe0)
                bytes[pack + 20] = char(uchar(bytes[pack + 20]) | 0x10);
        QVERIFY(writeFile(vob, bytes));
        QCOMPARE(TitleExport::titles(disc).problem, TitleList::Problem::Encrypted);
        const ExportReport report = exportNow(requestFor(disc, scratch.filePath("out"), 1));
        QCOMPARE(report.outcome, ExportReport::Outcome::Encrypted);
        QVERIFY(imagesIn(scratch.filePath("out")).isEmpty());
    }

    // The title list: lengths and chapters as authored.
    void titlesAreListedWithLengthsAndChapters() {
        const TitleList list = TitleExport::titles(fixture(QStringLiteral("steps.iso")));
        QCOMPARE(list.problem, TitleList::Problem::None);
        QCOMPARE(list.titles.size(), size_t(2));
        QCOMPARE(list.titles[0].lengthMs, qint64(12000));
        QCOMPARE(list.titles[1].lengthMs, qint64(6000));
        QCOMPARE(list.titles[0].chapterStarts, (std::vector<qint64>{0, 4000, 8000}));
        QCOMPARE(list.titles[1].chapterStarts, (std::vector<qint64>{0, 3000}));
        QCOMPARE(list.titles[0].displaySize, QSize(768, 576));
    }

private:
    QTemporaryDir programDir_;
};

QTEST_MAIN(TitleExportE2e)
#include "tst_titleexport_e2e.moc"
