// libVLC's buffer contract: the planes handed to its video callbacks and their pitches lie on
// 32-byte boundaries, and every line of the picture fits.
#include "engine/FrameStore.h"
#include "engine/VlcVideoSink.h"

#include <QTest>
#include <cstring>

class TestVlcVideoSink : public QObject {
    Q_OBJECT
private slots:
    void buffersAreAligned_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("PAL") << QSize(720, 576);
        QTest::newRow("NTSC") << QSize(720, 480);
        QTest::newRow("half D1") << QSize(352, 288);
        QTest::newRow("odd width and height") << QSize(721, 575);
        QTest::newRow("one pixel") << QSize(1, 1);
    }
    void buffersAreAligned() {
        QFETCH(QSize, size);
        FrameStore frames;
        VlcVideoSink sink(&frames);
        void* opaque = &sink;
        char chroma[5] = {};
        unsigned width = unsigned(size.width()), height = unsigned(size.height());
        unsigned pitches[3] = {}, lines[3] = {};
        QCOMPARE(VlcVideoSink::format(&opaque, chroma, &width, &height, pitches, lines), 1u);
        QCOMPARE(QByteArray(chroma), QByteArray("RV32"));
        QCOMPARE(pitches[0] % VlcVideoSink::kAlignment, 0u);
        QVERIFY(pitches[0] >= width * 4);
        QVERIFY(lines[0] >= height);

        // Several pictures, each in a buffer of its own, filled to the last byte as libVLC may.
        for (int picture = 0; picture < 3; ++picture) {
            void* planes[3] = {};
            VlcVideoSink::lock(&sink, planes);
            QVERIFY(planes[0]);
            QCOMPARE(reinterpret_cast<quintptr>(planes[0]) % VlcVideoSink::kAlignment, 0u);
            std::memset(planes[0], 0x40 + picture, size_t(pitches[0]) * lines[0]);
            VlcVideoSink::unlock(&sink, nullptr, planes);
            VlcVideoSink::display(&sink, nullptr);
        }
        VlcVideoSink::cleanup(&sink);
    }
};

QTEST_GUILESS_MAIN(TestVlcVideoSink)
#include "tst_vlcvideosink.moc"
