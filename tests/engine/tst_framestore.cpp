// The frame store's history: bounded by the video's rate, stepped through exactly, let go of.
#include "engine/FrameStore.h"

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
        QCOMPARE(store.latest()->image, picture(5));

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
};

QTEST_MAIN(TestFrameStore)
#include "tst_framestore.moc"
