// The frame store's history: bounded by the video's rate, stepped through exactly, let go of;
// and the clock that tells the time of the frame on show.
#include "engine/FrameStore.h"
#include "engine/PictureClock.h"

#include <QtTest>

namespace {
QImage picture(int shade) {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(qRgb(shade % 256, 0, 0));
    return image;
}
} // namespace

class TestFrameStore : public QObject {
    Q_OBJECT
private slots:
    // However long playback runs, the history holds two seconds of pictures and no more; the
    // frames it let go of are freed.
    void historyIsBoundedByTheFrameRate_data() {
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("kept");
        QTest::newRow("PAL") << 25.0 << 51;
        QTest::newRow("NTSC") << 30000.0 / 1001 << 61;
        QTest::newRow("film") << 24.0 << 49;
        QTest::newRow("unknown") << 0.0 << FrameStore::kDefaultHistoryLength;
    }
    void historyIsBoundedByTheFrameRate() {
        QFETCH(double, rate);
        QFETCH(int, kept);
        FrameStore store;
        store.setFrameRate(rate);
        store.publish(picture(0), {});
        const std::weak_ptr<const VideoFrame> first = store.history().front();
        for (int i = 1; i < 2000; ++i)
            store.publish(picture(i), {});
        const auto history = store.history();
        QCOMPARE(int(history.size()), kept);
        QCOMPARE(history.front()->serial, quint64(2000 - kept + 1));
        QCOMPARE(history.back()->serial, store.newest()->serial);
        QVERIFY(first.expired());
        // The history shares the pictures; only the newest frame keeps a scaled copy.
        QVERIFY(history.front()->shown.isNull());
    }

    // Steps back and forward show the kept frames one by one, stop at both ends, and a new
    // picture is shown again; a held frame stays on show whatever arrives.
    void stepsGoThroughTheHistory() {
        FrameStore store;
        store.setHistoryLength(5);
        for (int i = 1; i <= 8; ++i)
            store.publish(picture(i), {});
        QCOMPARE(store.latest()->serial, 8u);
        for (quint64 expected : {7, 6, 5, 4}) {
            QVERIFY(store.stepBack());
            QCOMPARE(store.latest()->serial, expected);
        }
        QVERIFY(!store.stepBack());
        QCOMPARE(store.latest()->serial, 4u);
        QVERIFY(store.stepForward());
        QCOMPARE(store.latest()->serial, 5u);
        QCOMPARE(store.latest()->image(), picture(5));

        const auto shown = store.latest();
        store.hold(shown);
        store.publish(picture(9), {});
        QCOMPARE(store.latest(), shown);
        QVERIFY(store.showSerial(7));
        store.hold(nullptr);
        QCOMPARE(store.latest()->serial, 7u);
        QVERIFY(!store.showSerial(2));

        store.publish(picture(10), {});
        QCOMPARE(store.latest()->serial, 10u);
        QCOMPARE(store.stepsBack(), 0);
        QVERIFY(!store.stepForward());
    }

    // The clock runs only while pictures move: from the next picture after a resume (libVLC
    // buffers first), or after a second without one; a pause or a step stops or moves it.
    void theClockFollowsThePictures_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<qint64>("expected");
        // Each step: "s<ms>" set (paused), "S<ms>" set (running), "t<ms>" time passes,
        // "r<serial>" resume after picture <serial>, "p<serial>" picture arrives, "x" stop,
        // "m<ms>" step.
        QTest::newRow("running") << "S1000 t250" << qint64(1250);
        QTest::newRow("stopped") << "S1000 t250 x t500" << qint64(1250);
        QTest::newRow("resume waits for a new picture") << "s1000 r7 t300 p7 t100" << qint64(1000);
        QTest::newRow("and runs from it") << "s1000 r7 t300 p8 t100" << qint64(1140);
        QTest::newRow("a still runs after a second") << "s1000 r7 t1300" << qint64(1340);
        QTest::newRow("a pause calls the resume off") << "s1000 r7 x p8 t500" << qint64(1000);
        QTest::newRow("steps") << "s1000 m40 m40 m-120" << qint64(960);
        QTest::newRow("never before the start") << "s20 m-40" << qint64(0);
    }
    void theClockFollowsThePictures() {
        QFETCH(QString, script);
        QFETCH(qint64, expected);
        PictureClock clock;
        qint64 now = 5000;
        for (const QString& step : script.split(' ')) {
            const qint64 value = step.mid(1).toLongLong();
            switch (step[0].toLatin1()) {
            case 's':
                clock.set(value, false, now);
                break;
            case 'S':
                clock.set(value, true, now);
                break;
            case 't':
                now += value;
                break;
            case 'r':
                clock.resume(clock.time(now) + 40, quint64(value), now);
                break;
            case 'p':
                clock.pictureArrived(quint64(value), now);
                break;
            case 'x':
                clock.stop(now);
                break;
            case 'm':
                clock.move(value);
                break;
            }
        }
        QCOMPARE(clock.time(now), expected);
        clock.clear();
        QVERIFY(clock.time(now) < 0);
    }
};

QTEST_MAIN(TestFrameStore)
#include "tst_framestore.moc"
