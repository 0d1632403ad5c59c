// Scene changes from the luma of decoded pictures: each cut found once, none within a shot that
// moves, fades or is noisy, and the authored disc's cuts where the script puts them.
#include "export/SceneCuts.h"
#include "support/Fixtures.h"
#include "support/LumaScene.h"

#include <QProcess>
#include <QtTest>
#include <map>

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 576;
constexpr int kSceneWidth = 1800; // room for the longest pan below

// A run of pictures of one scene from column left: its first picture there, each next one panned
// by panPx (each position shown twice when doubled), the luma fading linearly from gainFrom to
// gainTo (the first picture one step on from gainFrom, the last at gainTo), with noise of +-noise.
struct Shot {
    quint32 scene;
    int pictures;
    int panPx = 0;
    double gainFrom = 1;
    double gainTo = 1;
    int noise = 0;
    bool doubled = false;
    int left = 0;
};

const LumaScene& scene(quint32 seed) {
    static std::map<quint32, LumaScene> scenes;
    auto it = scenes.find(seed);
    if (it == scenes.end())
        it = scenes.emplace(seed, LumaScene(seed, kSceneWidth, kHeight)).first;
    return it->second;
}

// The pictures at which the detector finds a cut, counted from 0 over all shots.
QList<int> cutsIn(const QList<Shot>& shots, SceneCuts& cuts, int pitch = kWidth) {
    QList<int> found;
    int index = 0;
    for (const Shot& shot : shots)
        for (int i = 0; i < shot.pictures; ++i, ++index) {
            const int step = shot.doubled ? i / 2 : i;
            const double gain =
                shot.gainFrom + (shot.gainTo - shot.gainFrom) * (i + 1) / shot.pictures;
            const std::vector<uint8_t> luma = scene(shot.scene)
                                                  .frame(shot.left + shot.panPx * step, kWidth,
                                                         pitch, gain, shot.noise, quint32(index));
            if (cuts.next(luma.data(), pitch, kWidth, kHeight))
                found << index;
        }
    return found;
}

} // namespace

class TestSceneCuts : public QObject {
    Q_OBJECT
private slots:
    void cutsAreFoundOnceAndOnlyAtCuts_data() {
        QTest::addColumn<QList<Shot>>("shots");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("four still shots")
            << QList<Shot>{{1, 10}, {2, 10}, {3, 10}, {4, 10}} << QList<int>{10, 20, 30};
        QTest::newRow("four panning shots")
            << QList<Shot>{{1, 10, 4}, {2, 10, 4}, {3, 10, 4}, {4, 10, 4}}
            << QList<int>{10, 20, 30};
        QTest::newRow("steady pan, 8 px a picture") << QList<Shot>{{1, 100, 8}} << QList<int>{};
        QTest::newRow("pan starting from a still")
            << QList<Shot>{{1, 10}, {1, 60, 8}} << QList<int>{};
        QTest::newRow("pan with each picture shown twice")
            << QList<Shot>{{1, 100, 8, 1, 1, 0, true}} << QList<int>{};
        // 48 px a picture scores above the threshold at every picture: the sudden start is a
        // spike (documented), the steady motion after it is not.
        QTest::newRow("whip pan counts once, at its start")
            << QList<Shot>{{1, 10}, {1, 20, 48}} << QList<int>{11};
        QTest::newRow("whip pan with each picture shown twice")
            << QList<Shot>{{1, 10}, {1, 40, 48, 1, 1, 0, true}} << QList<int>{12};
        QTest::newRow("cut within a pan") << QList<Shot>{{1, 30, 8}, {2, 30, 8}} << QList<int>{30};
        QTest::newRow("slow fade out, 25 pictures")
            << QList<Shot>{{1, 10}, {1, 25, 0, 1, 0}, {1, 10, 0, 0, 0}} << QList<int>{};
        QTest::newRow("slow fade in, 25 pictures")
            << QList<Shot>{{1, 10, 0, 0, 0}, {1, 25, 0, 0, 1}, {1, 10}} << QList<int>{};
        QTest::newRow("fade to black and up on the next shot")
            << QList<Shot>{{1, 10}, {1, 25, 0, 1, 0}, {2, 25, 0, 0, 1}, {2, 10}} << QList<int>{};
        // Documented: a fade of a couple of pictures is as sudden as a cut, and counts once.
        QTest::newRow("fast fade out, 2 pictures")
            << QList<Shot>{{1, 10}, {1, 2, 0, 1, 0}, {1, 10, 0, 0, 0}} << QList<int>{10};
        QTest::newRow("noise of +-40 on a still scene")
            << QList<Shot>{{1, 50, 0, 1, 1, 40}} << QList<int>{};
        QTest::newRow("cut between noisy shots")
            << QList<Shot>{{1, 20, 0, 1, 1, 40}, {2, 20, 0, 1, 1, 40}} << QList<int>{20};
        QTest::newRow("one picture flashed into a shot counts once")
            << QList<Shot>{{1, 10}, {2, 1}, {1, 10}} << QList<int>{10};
        QTest::newRow("the same scene 400 px aside is another shot")
            << QList<Shot>{{1, 10}, {1, 10, 0, 1, 1, 0, false, 400}} << QList<int>{10};
    }

    void cutsAreFoundOnceAndOnlyAtCuts() {
        QFETCH(QList<Shot>, shots);
        QFETCH(QList<int>, expected);
        SceneCuts cuts;
        QCOMPARE(cutsIn(shots, cuts), expected);
    }

    // Bytes beyond a row's width are not the picture's: they change no score.
    void rowPaddingIsNotRead() {
        SceneCuts cuts;
        constexpr int pitch = kWidth + 48;
        const auto dark = scene(1).frame(0, kWidth, pitch, 1, 0, 0, 0);
        const auto bright = scene(1).frame(0, kWidth, pitch, 1, 0, 0, 255);
        QVERIFY(!cuts.next(dark.data(), pitch, kWidth, kHeight));
        QVERIFY(!cuts.next(bright.data(), pitch, kWidth, kHeight));
        QCOMPARE(cuts.lastScore(), 0.0);
        QCOMPARE(cutsIn({{1, 10}, {2, 10}}, cuts, pitch), QList<int>{10});
    }

    // Pictures that cannot be read are left out; reset() forgets the picture before it.
    void unreadablePicturesAndReset() {
        const auto one = scene(1).frame(0, kWidth, kWidth);
        const auto two = scene(2).frame(0, kWidth, kWidth);
        SceneCuts cuts;
        QVERIFY(!cuts.next(one.data(), kWidth, kWidth, kHeight));
        QVERIFY(!cuts.next(nullptr, kWidth, kWidth, kHeight));
        QVERIFY(!cuts.next(two.data(), kWidth - 1, kWidth, kHeight));
        QVERIFY(!cuts.next(two.data(), kWidth, 0, kHeight));
        QVERIFY(!cuts.next(two.data(), kWidth, kWidth, -1));
        QCOMPARE(cuts.lastScore(), 0.0);
        QVERIFY(cuts.next(two.data(), kWidth, kWidth, kHeight)); // against `one`
        QVERIFY(cuts.lastScore() >= SceneCuts::kDefaultThreshold);
        cuts.reset();
        QVERIFY(!cuts.next(one.data(), kWidth, kWidth, kHeight));
        QCOMPARE(cuts.lastScore(), 0.0);
    }

    // Pictures smaller than the grid, or of another size than the one before, are scored
    // without reading outside them.
    void tinyAndChangingSizes() {
        SceneCuts cuts;
        const std::vector<uint8_t> black(12, 0), white(12, 255);
        QVERIFY(!cuts.next(black.data(), 4, 4, 3));
        QVERIFY(cuts.next(white.data(), 4, 4, 3));
        QCOMPARE(cuts.lastScore(), 255.0);
        const std::vector<uint8_t> grey(1, 128);
        QVERIFY(!cuts.next(grey.data(), 1, 1, 1)); // another grid: starts afresh
        QCOMPARE(cuts.lastScore(), 0.0);
        // Half the width (a 352-wide title) of the same scene compares with the full width.
        cuts.reset();
        const auto full = scene(1).frame(0, kWidth, kWidth);
        std::vector<uint8_t> half(size_t(kWidth / 2) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth / 2; ++x)
                half[size_t(y) * (kWidth / 2) + x] = uint8_t(
                    (full[size_t(y) * kWidth + 2 * x] + full[size_t(y) * kWidth + 2 * x + 1]) / 2);
        QVERIFY(!cuts.next(full.data(), kWidth, kWidth, kHeight));
        QVERIFY(!cuts.next(half.data(), kWidth / 2, kWidth / 2, kHeight));
        QVERIFY2(cuts.lastScore() < 1, qPrintable(QString::number(cuts.lastScore())));
    }

    void thresholdIsBroughtIntoRange() {
        const std::vector<uint8_t> still(64 * 64, 100);
        SceneCuts cuts(-5);
        QVERIFY(!cuts.next(still.data(), 64, 64, 64));
        QVERIFY(!cuts.next(still.data(), 64, 64, 64)); // a score of 0 is never a cut
        SceneCuts noNumber(std::nan(""));
        const std::vector<uint8_t> slightly(64 * 64, 110);
        QVERIFY(!noNumber.next(still.data(), 64, 64, 64));
        QVERIFY(!noNumber.next(slightly.data(), 64, 64, 64)); // 10, under the default
    }

    // The disc the export is checked on: title 1 cuts at pictures 100, 200 and 300, title 2 (from
    // picture 400 of the title set's stream) is one pan.
    void authoredDiscCutsAreFound() {
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {"-nostdin", "-loglevel", "error", "-i",
                      fixture(QStringLiteral("CUTS_DVD/VIDEO_TS/VTS_01_1.VOB")), "-an", "-f",
                      "rawvideo", "-pix_fmt", "gray", "-"});
        QVERIFY2(ffmpeg.waitForStarted(), "ffmpeg is missing");
        constexpr qsizetype kFrame = qsizetype(kWidth) * kHeight;
        SceneCuts cuts;
        QByteArray pending;
        QList<int> found;
        int pictures = 0;
        double highestWithinShots = 0;
        for (bool more = true; more;) {
            more = ffmpeg.waitForReadyRead(60000) || ffmpeg.bytesAvailable() > 0;
            pending += ffmpeg.readAllStandardOutput();
            for (; pending.size() >= kFrame; pending.remove(0, kFrame), ++pictures) {
                if (cuts.next(reinterpret_cast<const uint8_t*>(pending.constData()), kWidth, kWidth,
                              kHeight))
                    found << pictures;
                else
                    highestWithinShots = std::max(highestWithinShots, cuts.lastScore());
            }
        }
        ffmpeg.waitForFinished();
        QVERIFY2(ffmpeg.exitCode() == 0, ffmpeg.readAllStandardError().constData());
        QCOMPARE(pictures, 600);
        QCOMPARE(found, (QList<int>{100, 200, 300, 400}));
        QVERIFY2(highestWithinShots < SceneCuts::kDefaultThreshold / 2,
                 qPrintable(QString::number(highestWithinShots)));
    }
};

QTEST_GUILESS_MAIN(TestSceneCuts)
#include "tst_scenecuts.moc"
