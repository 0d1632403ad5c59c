// The two ways pictures reach the screen: OpenGL, here on Mesa's software renderer, draws what
// the CPU path draws, in a window and at the screen's size, black bars included; the path is
// chosen from the renderer, and a context that cannot be made leaves the CPU path, silently.
#include "engine/FrameStore.h"
#include "support/FakeEngine.h"
#include "support/YuvFill.h"
#include "video/GlVideoView.h"
#include "video/Letterbox.h"
#include "video/VideoStage.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cstdio>

namespace {
constexpr int kWidth = 720, kHeight = 576;

class EngineWithFrames : public FakeEngine {
public:
    FrameStore* frameStore() override { return &frames; }
    FrameStore frames;
};

// A picture with what scaling and conversion get wrong: saturated bars (colour matrix, U and V
// swapped), a ramp (range), one-pixel detail (filtering) and a frame at the very edges (an edge
// that is lost or bleeds).
QImage pattern() {
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&picture);
    const QColor bars[] = {Qt::white,   Qt::yellow, Qt::cyan, Qt::green,
                           Qt::magenta, Qt::red,    Qt::blue, Qt::black};
    for (int i = 0; i < 8; ++i)
        painter.fillRect(QRect(i * kWidth / 8, 0, kWidth / 8, kHeight / 2), bars[i]);
    for (int x = 0; x < kWidth; ++x)
        painter.fillRect(QRect(x, kHeight / 2, 1, kHeight / 4),
                         QColor::fromHsv(0, 0, x * 255 / kWidth));
    for (int y = 3 * kHeight / 4; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            picture.setPixel(x, y, (x / 4 + y / 4) % 2 ? qRgb(230, 40, 90) : qRgb(20, 200, 60));
    painter.setPen(QPen(QColor(255, 128, 0), 4));
    painter.drawRect(QRect(2, 2, kWidth - 4, kHeight - 4));
    return picture;
}

// The pattern as the decoder's planes, with pitches wider than the picture and the padding
// bright, so that a path reading past a row's end shows it.
std::shared_ptr<YuvPicture> planesOf(const QImage& picture) {
    const unsigned pitches[3] = {736, 384, 384};
    const size_t luma = size_t(pitches[0]) * kHeight, chroma = size_t(pitches[1]) * kHeight / 2;
    auto planes = std::make_shared<YuvPicture>();
    planes->buffer =
        std::shared_ptr<uchar>(new uchar[luma + 2 * chroma], std::default_delete<uchar[]>());
    std::fill_n(planes->buffer.get(), luma + 2 * chroma, uchar(255));
    uchar* base = planes->buffer.get();
    void* const data[3] = {base, base + luma, base + luma + chroma};
    fillI420(picture, data, pitches);
    for (int i = 0; i < 3; ++i) {
        planes->view.data[i] = static_cast<const uchar*>(data[i]);
        planes->view.pitch[i] = int(pitches[i]);
    }
    planes->view.width = kWidth;
    planes->view.height = kHeight;
    return planes;
}

// What the display server shows of the stage, once it has painted the frame.
QImage drawn(VideoPath path, QSize area, QSize displaySize) {
    EngineWithFrames engine;
    VideoStage stage(nullptr, path);
    stage.setWindowFlag(Qt::FramelessWindowHint);
    stage.setGeometry(QRect(QPoint(0, 0), area));
    stage.setEngine(&engine);
    stage.show();
    if (!QTest::qWaitForWindowExposed(&stage))
        return {};
    engine.frames.publish(planesOf(pattern()), displaySize);
    QTest::qWait(400);
    QCoreApplication::processEvents();
    if (stage.drawsWithOpenGl() != (path == VideoPath::OpenGl))
        return {};
    return stage.screen()
        ->grabWindow(stage.winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

struct Difference {
    double mean = 0; // per channel, over the region
    int p999 = 0;    // the largest channel difference of all but a thousandth of the pixels
};

Difference difference(const QImage& a, const QImage& b, const QRect& region) {
    std::vector<int> largest;
    qint64 sum = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int dr = std::abs(qRed(p) - qRed(q)), dg = std::abs(qGreen(p) - qGreen(q)),
                      db = std::abs(qBlue(p) - qBlue(q));
            sum += dr + dg + db;
            largest.push_back(std::max({dr, dg, db}));
        }
    std::sort(largest.begin(), largest.end());
    return {double(sum) / (3.0 * double(largest.size())),
            largest[size_t(double(largest.size() - 1) * 0.999)]};
}

// The brightest channel outside the picture.
int brightestOutside(const QImage& image, const QRect& picture) {
    int brightest = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!picture.contains(x, y)) {
                const QRgb p = image.pixel(x, y);
                brightest = std::max({brightest, qRed(p), qGreen(p), qBlue(p)});
            }
    return brightest;
}

// Run in a process of its own whose X server offers no OpenGL: prints what the stage did.
int childWithoutOpenGl(int argc, char** argv) {
    QApplication app(argc, argv);
    EngineWithFrames engine;
    VideoStage stage;
    stage.setEngine(&engine);
    stage.resize(400, 300);
    stage.show();
    if (!QTest::qWaitForWindowExposed(&stage))
        return 2;
    engine.frames.publish(planesOf(pattern()), QSize(768, 576));
    QTest::qWait(200);
    int boxes = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        boxes += qobject_cast<QMessageBox*>(widget) != nullptr;
    const QImage shown = stage.grab().toImage();
    std::printf("path=%s boxes=%d centre=%08x\n",
                VideoPaths::current() == VideoPath::OpenGl ? "opengl" : "cpu", boxes,
                unsigned(shown.pixel(60, 60)));
    return stage.drawsWithOpenGl() ? 1 : 0;
}
} // namespace

class TestGlVideo : public QObject {
    Q_OBJECT
private slots:
    void openGlDrawsWhatTheCpuDraws_data() {
        QTest::addColumn<QSize>("area");
        QTest::addColumn<QSize>("displaySize");
        QTest::newRow("window, 4:3") << QSize(432, 340) << QSize(768, 576);
        QTest::newRow("window, 16:9") << QSize(432, 324) << QSize(1024, 576);
        QTest::newRow("wide window, 4:3") << QSize(640, 360) << QSize(768, 576);
        QTest::newRow("full screen, 4:3") << QSize(1280, 1024) << QSize(768, 576);
        QTest::newRow("full screen, 16:9") << QSize(1280, 1024) << QSize(1024, 576);
    }
    void openGlDrawsWhatTheCpuDraws() {
        QFETCH(QSize, area);
        QFETCH(QSize, displaySize);
        const QImage cpu = drawn(VideoPath::Cpu, area, displaySize);
        const QImage gl = drawn(VideoPath::OpenGl, area, displaySize);
        QCOMPARE(cpu.size(), area);
        QCOMPARE(gl.size(), area);
        const QRect picture = letterboxRect(displaySize, area);
        QVERIFY(picture.width() < area.width() || picture.height() < area.height());
        // Black bars where the picture is not, in both.
        QCOMPARE(brightestOutside(cpu, picture), 0);
        QCOMPARE(brightestOutside(gl, picture), 0);
        // The picture itself within rounding, compared at half the resolution: the two paths
        // filter the half-size chroma differently at sharp colour edges (libswscale repeats
        // each chroma sample over two pixels, the graphics card interpolates).
        const auto half = [&](const QImage& image) {
            return image.scaled(area / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        };
        const QRect inner(picture.topLeft() / 2 + QPoint(1, 1), picture.size() / 2 - QSize(2, 2));
        const Difference d = difference(half(cpu), half(gl), inner);
        QVERIFY2(
            d.mean < 2.0 && d.p999 < 32,
            qPrintable(QStringLiteral("mean %1, 99.9th percentile %2").arg(d.mean).arg(d.p999)));
        // Its outermost pixels too, where the padding beside the planes would bleed in.
        const QRect edges[] = {QRect(picture.topLeft(), QSize(picture.width(), 1)),
                               QRect(picture.bottomLeft(), QSize(picture.width(), 1)),
                               QRect(picture.topLeft(), QSize(1, picture.height())),
                               QRect(picture.topRight(), QSize(1, picture.height()))};
        for (const QRect& edge : edges) {
            const Difference e = difference(cpu, gl, edge);
            QVERIFY2(e.mean < 8.0, qPrintable(QStringLiteral("edge at %1,%2: mean %3")
                                                  .arg(edge.x())
                                                  .arg(edge.y())
                                                  .arg(e.mean)));
        }
    }

    void thePathFollowsTheRenderer_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("device");
        QTest::addColumn<bool>("context");
        QTest::addColumn<QString>("renderer");
        QTest::addColumn<bool>("openGl");
        QTest::addColumn<bool>("probes");
        const QString hardware = QStringLiteral("AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15)");
        const QString llvmpipe = QStringLiteral("llvmpipe (LLVM 15.0.6, 256 bits)");
        QTest::newRow("hardware renderer") << "xcb"
                                           << "" << true << true << hardware << true << true;
        QTest::newRow("hardware, wayland") << "wayland"
                                           << "" << true << true << hardware << true << true;
        QTest::newRow("llvmpipe") << "xcb"
                                  << "" << true << true << llvmpipe << false << true;
        QTest::newRow("softpipe") << "xcb"
                                  << "" << true << true << "softpipe" << false << true;
        QTest::newRow("no graphics device") << "xcb"
                                            << "" << false << true << hardware << false << false;
        QTest::newRow("offscreen") << "offscreen"
                                   << "" << true << true << hardware << false << false;
        QTest::newRow("no context") << "xcb"
                                    << "" << true << false << "" << false << true;
        QTest::newRow("asked for, software")
            << "xcb"
            << "opengl" << false << true << llvmpipe << true << true;
        QTest::newRow("asked for, no context") << "xcb"
                                               << "opengl" << true << false << "" << false << true;
        QTest::newRow("CPU asked for") << "xcb"
                                       << "cpu" << true << true << hardware << false << false;
    }
    void thePathFollowsTheRenderer() {
        QFETCH(QString, platform);
        QFETCH(QString, asked);
        QFETCH(bool, device);
        QFETCH(bool, context);
        QFETCH(QString, renderer);
        QFETCH(bool, openGl);
        QFETCH(bool, probes);
        VideoPathFacts facts{platform, asked, device, false, {}};
        QCOMPARE(needsContext(facts), probes);
        facts.contextCreated = context;
        facts.renderer = renderer;
        QCOMPARE(chooseVideoPath(facts).path == VideoPath::OpenGl, openGl);
    }

    void noContextMeansTheCpuPathWithoutAMessage() {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("STILLBECK_VIDEO"), QStringLiteral("opengl"));
        environment.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
        environment.insert(QStringLiteral("GLVIDEO_CHILD"), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(30000));
        const QString out = QString::fromLatin1(child.readAllStandardOutput());
        QCOMPARE(child.exitCode(), 0);
        QVERIFY2(out.contains(u"path=cpu boxes=0"), qPrintable(out));
        // The CPU path draws the picture: the white bar, not black, at the top left.
        QVERIFY2(!out.contains(u"centre=ff000000"), qPrintable(out));
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("GLVIDEO_CHILD"))
        return childWithoutOpenGl(argc, argv);
    QApplication app(argc, argv);
    TestGlVideo test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_glvideo_xvfb.moc"
