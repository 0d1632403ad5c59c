// libVLC's buffer contract: the planes handed to its video callbacks and their pitches lie on
// 32-byte boundaries, and every line of the picture fits. The decoder's planes come out as the
// colours they stand for, at their own size or scaled in the same pass (tst_picturepool compares
// the scaled pictures with the video area's own scaling).
#include "engine/FrameStore.h"
#include "engine/VlcVideoSink.h"
#include "engine/YuvConverter.h"
#include "support/YuvFill.h"

#include <QTest>
#include <cstring>
#include <vector>

namespace {
// Planes of a picture of the given size, filled from rgb.
struct Planes {
    explicit Planes(const QImage& rgb) {
        const int chromaWidth = (rgb.width() + 1) / 2, chromaHeight = (rgb.height() + 1) / 2;
        pitches[0] = unsigned(rgb.width());
        pitches[1] = pitches[2] = unsigned(chromaWidth);
        luma.resize(size_t(rgb.width()) * rgb.height());
        u.resize(size_t(chromaWidth) * chromaHeight);
        v.resize(u.size());
        void* const planes[3] = {luma.data(), u.data(), v.data()};
        fillI420(rgb, planes, pitches);
        view.data[0] = luma.data(), view.data[1] = u.data(), view.data[2] = v.data();
        for (int i = 0; i < 3; ++i)
            view.pitch[i] = int(pitches[i]);
        view.width = rgb.width();
        view.height = rgb.height();
    }
    std::vector<uchar> luma, u, v;
    unsigned pitches[3] = {};
    YuvPlanes view;
};

int maxChannelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}
} // namespace

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
        QCOMPARE(QByteArray(chroma), QByteArray("I420"));
        const unsigned planeWidths[3] = {width, (width + 1) / 2, (width + 1) / 2};
        const unsigned planeHeights[3] = {height, (height + 1) / 2, (height + 1) / 2};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(pitches[i] % VlcVideoSink::kAlignment, 0u);
            QVERIFY(pitches[i] >= planeWidths[i]);
            QVERIFY(lines[i] >= planeHeights[i]);
        }

        // Several pictures, filled to the last byte of each plane as libVLC may.
        for (int picture = 0; picture < 3; ++picture) {
            void* planes[3] = {};
            VlcVideoSink::lock(&sink, planes);
            for (int i = 0; i < 3; ++i) {
                QVERIFY(planes[i]);
                QCOMPARE(reinterpret_cast<quintptr>(planes[i]) % VlcVideoSink::kAlignment, 0u);
                std::memset(planes[i], 0x40 + picture, size_t(pitches[i]) * lines[i]);
            }
            VlcVideoSink::unlock(&sink, nullptr, planes);
            VlcVideoSink::display(&sink, nullptr);
        }
        VlcVideoSink::cleanup(&sink);
    }

    // Studio-range Rec. 601, as DVDs are coded: each colour comes back within rounding, at the
    // picture's own size and scaled, up or down, to an odd size.
    void planesBecomeTheirColours_data() {
        QTest::addColumn<QSize>("target");
        QTest::newRow("own size") << QSize(64, 48);
        QTest::newRow("full screen") << QSize(171, 128);
        QTest::newRow("small window") << QSize(37, 29);
    }
    void planesBecomeTheirColours() {
        QFETCH(QSize, target);
        const QRgb colours[] = {qRgb(255, 255, 255), qRgb(0, 0, 0),    qRgb(255, 0, 0),
                                qRgb(0, 255, 0),     qRgb(0, 0, 255),  qRgb(128, 128, 128),
                                qRgb(200, 120, 40),  qRgb(30, 90, 160)};
        for (const QRgb colour : colours) {
            QImage rgb(64, 48, QImage::Format_RGB32);
            rgb.fill(colour);
            Planes planes(rgb);
            YuvConverter converter;
            QImage out(target, QImage::Format_RGB32);
            out.fill(Qt::magenta);
            QVERIFY(converter.convert(planes.view, out));
            for (const QPoint at : {QPoint(0, 0), QPoint(target.width() / 2, target.height() / 2),
                                    QPoint(target.width() - 1, target.height() - 1)})
                QVERIFY2(maxChannelDifference(out.pixel(at), colour) <= 3,
                         qPrintable(QStringLiteral("#%1 came out #%2")
                                        .arg(colour & 0xffffff, 6, 16, QLatin1Char('0'))
                                        .arg(out.pixel(at) & 0xffffff, 6, 16, QLatin1Char('0'))));
            QImage wrongFormat(target, QImage::Format_ARGB32);
            QVERIFY(!converter.convert(planes.view, wrongFormat));
        }
    }
};

QTEST_GUILESS_MAIN(TestVlcVideoSink)
#include "tst_vlcvideosink.moc"
