// Scene changes from the luma of decoded pictures: each cut found once, none within a shot that
// moves, fades or is noisy, and the authored disc's cuts where the script puts them.
#include "export/SceneCuts.h"
#include "support/LumaScene.h"

#include <QtTest>
#include <map>

namespace {

constexpr int kWidth = 720, kHeight = 576;

// Pictures of one scene from column left, each next one panned by panPx (each position shown
// twice when doubled), the luma fading linearly to gainTo at the last picture, noise of +-noise.
struct Shot {
    quint32 scene;
    int pictures;
    int panPx = 0;
    double gainFrom = 1, gainTo = 1;
    int noise = 0;
    bool doubled = false;
};

// The pictures found to start a shot, counted from 0 over all shots.
QList<int> cutsIn(const QList<Shot>& shots, SceneCuts& cuts, int pitch = kWidth) {
    static std::map<quint32, LumaScene> scenes;
    QList<int> found;
    int index = 0;
    for (const Shot& shot : shots) {
        const LumaScene& scene =
            scenes.try_emplace(shot.scene, shot.scene, 1800, kHeight).first->second;
        for (int i = 0; i < shot.pictures; ++i, ++index) {
            const double gain =
                shot.gainFrom + (shot.gainTo - shot.gainFrom) * (i + 1) / shot.pictures;
            const auto luma = scene.frame(shot.panPx * (shot.doubled ? i / 2 : i), kWidth, pitch,
                                          gain, shot.noise, quint32(index), uint8_t(index * 97));
            if (cuts.next(luma.data(), pitch, kWidth, kHeight))
                found << index;
        }
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
        QTest::newRow("four panning shots")
            << QList<Shot>{{1, 10, 4}, {2, 10, 4}, {3, 10, 4}, {4, 10, 4}}
            << QList<int>{10, 20, 30};
        QTest::newRow("steady pan, 8 px a picture")
            << QList<Shot>{{1, 10}, {1, 100, 8}} << QList<int>{};
        // Scoring above the threshold at every picture: the sudden start is a spike
        // (documented), the steady motion after it, shown once or twice, is not.
        QTest::newRow("whip pan counts once")
            << QList<Shot>{{1, 10}, {1, 20, 48}} << QList<int>{11};
        QTest::newRow("whip pan, each picture twice")
            << QList<Shot>{{1, 10}, {1, 40, 48, 1, 1, 0, true}} << QList<int>{12};
        QTest::newRow("fade out and in over 25 pictures")
            << QList<Shot>{{1, 10}, {1, 25, 0, 1, 0}, {2, 25, 0, 0, 1}, {2, 10}} << QList<int>{};
        QTest::newRow("fast fade out, 2 pictures, counts once")
            << QList<Shot>{{1, 10}, {1, 2, 0, 1, 0}, {1, 10, 0, 0, 0}} << QList<int>{10};
        QTest::newRow("the light goes off: 20 % darker at once")
            << QList<Shot>{{1, 10}, {1, 10, 0, 0.8, 0.8}} << QList<int>{10};
        QTest::newRow("noisy shots")
            << QList<Shot>{{1, 30, 0, 1, 1, 40}, {2, 20, 0, 1, 1, 40}} << QList<int>{30};
        QTest::newRow("a picture flashed into a shot counts once")
            << QList<Shot>{{1, 10}, {2, 1}, {1, 10}} << QList<int>{10};
    }

    void cutsAreFoundOnceAndOnlyAtCuts() {
        QFETCH(QList<Shot>, shots);
        QFETCH(QList<int>, expected);
        SceneCuts cuts;
        QCOMPARE(cutsIn(shots, cuts), expected);
        SceneCuts padded; // the padding beyond each row changes with every picture
        QCOMPARE(cutsIn(shots, padded, kWidth + 40), expected);
    }

    // Unreadable pictures are left out; reset() and a grid of another shape start afresh.
    void unreadablePicturesResetAndTinyOnes() {
        const auto one = LumaScene(1, kWidth, kHeight).luma,
                   two = LumaScene(2, kWidth, kHeight).luma;
        SceneCuts cuts(-5); // brought to 1: a still picture is no cut
        QVERIFY(!cuts.next(one.data(), kWidth, kWidth, kHeight));
        QVERIFY(!cuts.next(one.data(), kWidth, kWidth, kHeight));
        QVERIFY(!cuts.next(nullptr, kWidth, kWidth, kHeight));
        QVERIFY(!cuts.next(two.data(), kWidth - 1, kWidth, kHeight));
        QVERIFY(!cuts.next(two.data(), kWidth, 0, kHeight));
        QCOMPARE(cuts.lastScore(), 0.0);
        QVERIFY(cuts.next(two.data(), kWidth, kWidth, kHeight)); // against `one`
        cuts.reset();
        QVERIFY(!cuts.next(one.data(), kWidth, kWidth, kHeight));
        QCOMPARE(cuts.lastScore(), 0.0);
        const std::vector<uint8_t> black(12, 0), white(12, 255);
        QVERIFY(!cuts.next(black.data(), 4, 4, 3));
        QCOMPARE(cuts.lastScore(), 0.0);
        QVERIFY(cuts.next(white.data(), 4, 4, 3));
        QCOMPARE(cuts.lastScore(), 255.0);
    }
};

QTEST_GUILESS_MAIN(TestSceneCuts)
#include "tst_scenecuts.moc"
