// Frames scaled on the caller's thread in bands are QPainter's smooth drawing of the whole
// picture, pixel for pixel: no seam between bands, no row left out, whether the picture grows,
// shrinks or only widens.
#include "engine/FrameScale.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

namespace {

QImage picture(QSize size, bool noise) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y,
                           noise ? (random.generate() | 0xff000000u)
                                 : qRgb(x * 255 / std::max(1, size.width() - 1),
                                        y * 255 / std::max(1, size.height() - 1), (x ^ y) & 0xff));
    return image;
}

// Qt's own bilinear drawing of source at size.
QImage painted(const QImage& source, QSize size) {
    QImage target(size, QImage::Format_RGB32);
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(), size), source);
    return target;
}

struct Difference {
    int largest = 0;
    double mean = 0;
};

Difference difference(const QImage& a, const QImage& b) {
    Difference result;
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (const int d : {std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))}) {
                result.largest = std::max(result.largest, d);
                sum += d;
            }
        }
    result.mean = double(sum) / (3.0 * a.width() * a.height());
    return result;
}

} // namespace

class TestFrameScale : public QObject {
    Q_OBJECT
private slots:
    void matchesQtsSmoothDrawing_data() {
        QTest::addColumn<QSize>("from");
        QTest::addColumn<QSize>("to");
        QTest::addColumn<bool>("noise");
        QTest::newRow("PAL 4:3 display width") << QSize(720, 576) << QSize(768, 576) << false;
        QTest::newRow("PAL 16:9, noise") << QSize(720, 576) << QSize(1024, 576) << true;
        QTest::newRow("into a small window") << QSize(720, 576) << QSize(434, 326) << false;
        QTest::newRow("into a small window, noise") << QSize(720, 576) << QSize(434, 326) << true;
        QTest::newRow("full screen") << QSize(720, 576) << QSize(1440, 1080) << false;
        QTest::newRow("only taller, noise") << QSize(40, 30) << QSize(40, 147) << true;
        QTest::newRow("one band and a row, noise") << QSize(50, 50) << QSize(30, 65) << true;
        QTest::newRow("one pixel to many") << QSize(1, 1) << QSize(5, 3) << true;
        QTest::newRow("odd sizes, noise") << QSize(7, 5) << QSize(3, 2) << true;
    }
    void matchesQtsSmoothDrawing() {
        QFETCH(QSize, from);
        QFETCH(QSize, to);
        QFETCH(bool, noise);
        const QImage source = picture(from, noise);
        const QImage ours = FrameScale::scaled(source, to);
        QCOMPARE(ours.size(), to);
        QCOMPARE(ours.format(), QImage::Format_RGB32);
        const Difference d = difference(ours, painted(source, to));
        QVERIFY2(d.largest == 0,
                 qPrintable(QStringLiteral("largest %1, mean %2").arg(d.largest).arg(d.mean)));
    }

    void sameSizeIsTheSamePicture() {
        const QImage source = picture({33, 9}, true);
        QCOMPARE(FrameScale::scaled(source, source.size()), source);
    }

    void pictureWithAlphaKeepsIt() {
        QImage source(8, 8, QImage::Format_ARGB32);
        source.fill(qRgba(10, 200, 30, 128));
        const QImage ours = FrameScale::scaled(source, {5, 3});
        QVERIFY(ours.hasAlphaChannel());
        QCOMPARE(qAlpha(ours.pixel(2, 1)), 128);
    }
};

QTEST_GUILESS_MAIN(TestFrameScale)
#include "tst_framescale.moc"
