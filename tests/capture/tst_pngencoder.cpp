// The snapshot writer's PNG encoder: every file decodes to exactly the pixels it was given,
// passes pngcheck and stays about the size of zlib level 1.
#include "capture/PngEncoder.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage noise(QSize size, QImage::Format format, quint32 seed) {
    QImage image(size, format);
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y)
        random.fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), image.bytesPerLine() / 4);
    return image;
}

QImage filled(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// What a decoder must give back: the picture in the format the encoder writes from.
QImage comparable(const QImage& image) {
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

// Fails the test unless pngcheck accepts the file.
void checkWithPngcheck(const QByteArray& png) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.png"));
    QVERIFY(writeFile(path, png));
    QProcess check;
    check.start(QStringLiteral("pngcheck"), {QStringLiteral("-q"), path});
    QVERIFY2(check.waitForFinished(), "pngcheck is missing (scripts/deps.sh installs it)");
    QVERIFY2(check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0,
             check.readAllStandardOutput().constData());
}

void checkRoundTrip(const QImage& picture) {
    const QByteArray png = PngEncoder::encode(picture);
    QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
    const QImage decoded = QImage::fromData(png, "PNG");
    QVERIFY(!decoded.isNull());
    QCOMPARE(decoded.size(), picture.size());
    QCOMPARE(decoded.hasAlphaChannel(), picture.hasAlphaChannel());
    QVERIFY(comparable(decoded) == comparable(picture));
    checkWithPngcheck(png);
}

// Frames of the authored disc as the writer sees them: decoded at 720x576, scaled to 768x576.
QList<QImage> fixtureFrames() {
    const QString vob = QDir(qEnvironmentVariable("STILLBECK_FIXTURE_DIR"))
                            .filePath(QStringLiteral("DVD/VIDEO_TS/VTS_01_1.VOB"));
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-nostdin", "-loglevel", "error", "-i", vob, "-an", "-vf",
                  "select=not(mod(n\\,125))", "-vsync", "0", "-frames:v", "4", "-f", "rawvideo",
                  "-pix_fmt", "bgra", "-"});
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0)
        return {};
    const QByteArray raw = ffmpeg.readAllStandardOutput();
    constexpr qsizetype kFrameBytes = 720 * 576 * 4;
    QList<QImage> frames;
    for (qsizetype at = 0; at + kFrameBytes <= raw.size(); at += kFrameBytes) {
        QImage frame(reinterpret_cast<const uchar*>(raw.constData() + at), 720, 576,
                     QImage::Format_RGB32);
        frames << frame.scaled(768, 576, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return frames;
}

} // namespace

class TestPngEncoder : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data() {
        QTest::addColumn<QImage>("picture");
        QImage gradient(256, 64, QImage::Format_RGB32);
        for (int y = 0; y < gradient.height(); ++y)
            for (int x = 0; x < gradient.width(); ++x)
                gradient.setPixel(x, y, qRgb(x, 255 - x, (x * y) & 0xff));
        QTest::newRow("1x1") << filled({1, 1}, qRgb(1, 2, 3));
        QTest::newRow("1x7 column") << noise({1, 7}, QImage::Format_RGB32, 1);
        QTest::newRow("odd width 3x5") << noise({3, 5}, QImage::Format_RGB32, 2);
        QTest::newRow("odd width 767x9") << noise({767, 9}, QImage::Format_RGB32, 3);
        QTest::newRow("single colour") << filled({768, 576}, qRgb(200, 30, 90));
        QTest::newRow("gradient") << gradient;
        QTest::newRow("noise 768x576") << noise({768, 576}, QImage::Format_RGB32, 4);
        QTest::newRow("noise with alpha") << noise({33, 17}, QImage::Format_ARGB32, 5);
        QTest::newRow("RGB888 input") << noise({31, 8}, QImage::Format_RGB888, 6);
        QTest::newRow("grey input") << noise({12, 12}, QImage::Format_Grayscale8, 7);
        // Rows padded beyond their pixels: the encoder must follow the stride.
        static const QImage wide = noise({64, 9}, QImage::Format_RGB32, 8);
        QTest::newRow("padded rows")
            << QImage(wide.constBits(), 61, 9, wide.bytesPerLine(), QImage::Format_RGB32);
    }

    void roundTrip() {
        QFETCH(QImage, picture);
        checkRoundTrip(picture);
    }

    void fixtureFramesRoundTripAtAboutZlibLevel1Size() {
        const QList<QImage> frames = fixtureFrames();
        QVERIFY2(frames.size() == 4, "cannot decode the authored disc's frames with ffmpeg");
        for (const QImage& frame : frames) {
            checkRoundTrip(frame);
            QByteArray reference;
            QBuffer buffer(&reference);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter zlibLevel1(&buffer, "png");
            zlibLevel1.setQuality(85); // Qt's quality 85 is zlib level 1
            QVERIFY(zlibLevel1.write(frame));
            const qsizetype ours = PngEncoder::encode(frame).size();
            QVERIFY2(
                ours <= reference.size() * 115 / 100,
                qPrintable(QStringLiteral("%1 bytes against %2").arg(ours).arg(reference.size())));
        }
    }

    void nullPictureGivesNoFile() { QVERIFY(PngEncoder::encode(QImage()).isEmpty()); }
};

QTEST_GUILESS_MAIN(TestPngEncoder)
#include "tst_pngencoder.moc"
