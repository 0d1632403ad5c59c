// Lost images are reported: the writer's folder creation and reports, and how often the user is
// told.
#include "capture/CaptureFailures.h"
#include "capture/SnapshotWriter.h"
#include "engine/FrameStore.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestCaptureFailures : public QObject {
    Q_OBJECT
private slots:
    void toldOncePerRunOrCause_data();
    void toldOncePerRunOrCause();
    void writerMakesItsFolderAndReports();
};

void TestCaptureFailures::toldOncePerRunOrCause_data() {
    // Events: R run starts, E run ends, W an image written, A/B a failure of that cause.
    // Expected: one digit per failure, 1 when the user is told.
    QTest::addColumn<QString>("events");
    QTest::addColumn<QString>("told");
    QTest::newRow("single: once per cause") << "A A B A"
                                            << "1010";
    QTest::newRow("single: again after an image was written") << "A W A"
                                                              << "11";
    QTest::newRow("run: once, whatever the causes") << "R A B A W A"
                                                    << "1000";
    QTest::newRow("every run anew") << "R A E R A"
                                    << "11";
    QTest::newRow("queued failures after a run stay quiet") << "R A E A"
                                                            << "10";
    QTest::newRow("a run after a told single is told") << "A R A"
                                                       << "11";
}

void TestCaptureFailures::toldOncePerRunOrCause() {
    QFETCH(QString, events);
    QFETCH(QString, told);
    CaptureFailureNotice notice;
    bool running = false;
    QString result;
    for (const QString& event : events.split(u' ')) {
        if (event == u"R") {
            running = true;
            notice.runStarted();
        } else if (event == u"E") {
            running = false;
        } else if (event == u"W") {
            notice.imageWritten();
        } else {
            result += notice.failed("/shots/MOVIE Images", event, running) ? u'1' : u'0';
        }
    }
    QCOMPARE(result, told);
}

void TestCaptureFailures::writerMakesItsFolderAndReports() {
    QTemporaryDir dir;
    FrameStore frames;
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    frames.publish(image, image.size());
    SnapshotWriter writer;
    QSignalSpy failed(&writer, &SnapshotWriter::writeFailed);
    QSignalSpy recovered(&writer, &SnapshotWriter::writeRecovered);
    const auto capture = [&](const QString& folder) {
        SnapshotOptions options;
        options.folder = folder;
        options.prefix = QStringLiteral("IMG_");
        writer.setOptions(options);
        writer.snapshotRequested(frames.latest());
        QVERIFY(writer.waitForIdle(10000));
    };

    // The one missing level is made (a folder removed, or a path changed without a reload).
    const QString folder = dir.filePath(QStringLiteral("MOVIE Images"));
    capture(folder);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("IMG_00001.png")});
    QCOMPARE(failed.size(), 0);

    // Never more than one: a missing parent is a failure, reported with the folder.
    const QString deep = dir.filePath(QStringLiteral("gone/MOVIE Images"));
    capture(deep);
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed[0][0].toString(), deep);
    QVERIFY(!failed[0][1].toString().isEmpty());
    QCOMPARE(recovered.size(), 0);

    // The next image written ends the failure, once.
    capture(folder);
    capture(folder);
    QCOMPARE(recovered.size(), 1);
    QCOMPARE(writer.counters().written, 3u);
}

QTEST_GUILESS_MAIN(TestCaptureFailures)
#include "tst_capturefailures.moc"
