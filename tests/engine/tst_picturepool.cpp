// Recycled picture buffers: a buffer goes out again only after every image over it is gone, so
// published frames never change; the video sink publishes a picture unless it equals the newest
// frame, wherever the two differ, and delivers it scaled to the size the video area asked for.
#include "engine/FrameScale.h"
#include "engine/FrameStore.h"
#include "engine/PicturePool.h"
#include "engine/VlcVideoSink.h"
#include "support/ReferenceDecode.h"
#include "support/YuvFill.h"

#include <QTest>
#include <cstring>
#include <set>

namespace {

constexpr int kWidth = 64, kHeight = 48;
constexpr qsizetype kPitch = kWidth * 4;

QImage acquire(PicturePool& pool, int width = kWidth) {
    return pool.acquire(width, kHeight, qsizetype(width) * 4, kHeight, 32);
}

// Drives a sink as libVLC does: one format, then pictures filled by the caller.
class DrivenSink {
public:
    DrivenSink() {
        void* opaque = &sink_;
        char chroma[5] = {};
        unsigned width = kWidth, height = kHeight;
        VlcVideoSink::format(&opaque, chroma, &width, &height, pitches_, lines_);
        // Without a media the sink waits for an aspect ratio for a while, then shows pictures
        // at their coded size; those first pictures are not the subject here.
        for (int i = 0; i < 32; ++i)
            show([](QImage& picture) { picture.fill(Qt::black); });
    }
    ~DrivenSink() { VlcVideoSink::cleanup(&sink_); }

    // One picture: fill draws it, and it goes into the planes libVLC would write.
    template <typename Fill> void show(Fill fill) {
        void* planes[3] = {};
        VlcVideoSink::lock(&sink_, planes);
        QImage picture(kWidth, kHeight, QImage::Format_RGB32);
        fill(picture);
        fillI420(picture, planes, pitches_);
        VlcVideoSink::unlock(&sink_, nullptr, planes);
        VlcVideoSink::display(&sink_, nullptr);
    }
    FrameStore& frames() { return frames_; }

private:
    FrameStore frames_;
    VlcVideoSink sink_{&frames_};
    unsigned pitches_[3] = {}, lines_[3] = {};
};

} // namespace

class TestPicturePool : public QObject {
    Q_OBJECT
private slots:
    void aBufferReturnsOnlyWhenItsLastImageIsGone_data() {
        QTest::addColumn<int>("held");
        QTest::newRow("one held") << 1;
        QTest::newRow("as many as the pool keeps") << PicturePool::kKept;
        QTest::newRow("more than the pool keeps") << PicturePool::kKept + 3;
    }
    void aBufferReturnsOnlyWhenItsLastImageIsGone() {
        QFETCH(int, held);
        PicturePool pool;
        // Buffers that were given back first, so that the pool has some to hand out again.
        for (int i = 0; i < 3; ++i)
            acquire(pool);
        QList<QImage> frames;
        std::set<const uchar*> inUse;
        for (int i = 0; i < held; ++i) {
            QImage image = acquire(pool);
            QVERIFY(!image.isNull());
            QVERIFY2(inUse.insert(image.constBits()).second, "a held buffer was handed out");
            QCOMPARE(image.bytesPerLine(), kPitch);
            frames << image; // a copy, as the frame store and a painter hold them
        }
        // A frame's buffer stays out while any copy of its image lives.
        const uchar* freed = frames.first().constBits();
        QImage copy = frames.takeFirst();
        const QImage another = acquire(pool);
        QVERIFY2(!inUse.count(another.constBits()), "a held buffer was handed out");
        // Its last copy goes: exactly that buffer comes back next.
        copy = QImage();
        QCOMPARE(acquire(pool).constBits(), freed);
    }

    void imagesOutliveThePool() {
        QImage survivor;
        {
            PicturePool pool;
            survivor = acquire(pool);
            survivor.fill(Qt::red);
        }
        QCOMPARE(survivor.pixel(kWidth - 1, kHeight - 1), qRgb(255, 0, 0));
    }

    void publishedFramesNeverChange() {
        DrivenSink sink;
        QList<std::shared_ptr<const VideoFrame>> held;
        for (int i = 0; i < 2 * PicturePool::kKept; ++i) {
            sink.show([i](QImage& picture) { picture.fill(qRgb(i * 20, 255 - i * 20, i)); });
            held << sink.frames().latest();
            if (i % 2)
                held.removeFirst(); // some frames are let go, so their buffers come back
        }
        for (const auto& frame : held) {
            const QRgb colour = frame->image().pixel(0, 0);
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    QCOMPARE(frame->image().pixel(x, y), colour);
        }
        // Each held frame still shows its own picture.
        std::set<QRgb> colours;
        for (const auto& frame : held)
            colours.insert(frame->image().pixel(0, 0));
        QCOMPARE(int(colours.size()), held.size());
    }

    void aPictureIsPublishedUnlessItEqualsTheNewest_data() {
        QTest::addColumn<QPoint>("changed"); // the one pixel that differs; (-1,-1) for none
        QTest::newRow("equal picture") << QPoint(-1, -1);
        QTest::newRow("first pixel") << QPoint(0, 0);
        QTest::newRow("second row") << QPoint(5, 1);
        QTest::newRow("row between the sampled ones") << QPoint(kWidth / 2, 15);
        QTest::newRow("last pixel") << QPoint(kWidth - 1, kHeight - 1);
    }
    void aPictureIsPublishedUnlessItEqualsTheNewest() {
        QFETCH(QPoint, changed);
        DrivenSink sink;
        const auto paint = [](QImage& picture) {
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    picture.setPixel(x, y, qRgb(x * 4, y * 5, 77));
        };
        sink.show(paint);
        const quint64 serial = sink.frames().latest()->serial;
        sink.show([&](QImage& picture) {
            paint(picture);
            if (changed.x() >= 0)
                picture.setPixel(changed, qRgb(1, 2, 3));
        });
        QCOMPARE(sink.frames().latest()->serial, changed.x() >= 0 ? serial + 1 : serial);
    }

    void framesComeScaledToTheSizeAskedFor_data() {
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<bool>("scaled");
        QTest::newRow("nothing asked") << QSize() << false;
        QTest::newRow("smaller") << QSize(kWidth / 2 + 3, kHeight / 2 + 1) << true;
        QTest::newRow("larger") << QSize(kWidth * 2, kHeight * 3) << true;
        QTest::newRow("the picture's own size") << QSize(kWidth, kHeight) << false;
    }
    void framesComeScaledToTheSizeAskedFor() {
        QFETCH(QSize, asked);
        QFETCH(bool, scaled);
        DrivenSink sink;
        sink.frames().setShownSize(asked);
        QList<std::shared_ptr<const VideoFrame>> held;
        for (int i = 0; i < 3; ++i) {
            sink.show([i](QImage& picture) {
                for (int y = 0; y < kHeight; ++y)
                    for (int x = 0; x < kWidth; ++x)
                        picture.setPixel(x, y, qRgb(x * 4, y * 5, 60 * i));
            });
            held << sink.frames().latest();
        }
        for (const auto& frame : held) {
            QCOMPARE(frame->shown.isNull(), !scaled);
            // What the video area would have drawn itself, for this very frame: scaled from the
            // decoder's planes, it differs by rounding only.
            if (scaled) {
                const double difference =
                    meanAbsDifference(frame->shown, FrameScale::scaled(frame->image(), asked));
                QVERIFY2(difference < 4.0, qPrintable(QString::number(difference)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestPicturePool)
#include "tst_picturepool.moc"
