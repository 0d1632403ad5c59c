// The position bar passes its value on to the drawn bar only when the fill moves by a pixel, so
// a hundred settings a second do not each ask the style whether to repaint; the drawn bar still
// stays within a pixel of the value, and is exact at both ends and after a resize.
#include "ui/ProgressBar.h"

#include <QSignalSpy>
#include <QTest>

class TestProgressBar : public QObject {
    Q_OBJECT
private slots:
    void drawnValueFollowsToWithinAPixel_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("design width") << 434;
        QTest::newRow("narrow") << 37;
        QTest::newRow("full HD") << 1920;
    }
    void drawnValueFollowsToWithinAPixel() {
        QFETCH(int, width);
        ProgressBar bar;
        bar.resize(width, 12);
        QSignalSpy drawnChanges(&bar, &QProgressBar::valueChanged);
        const double stepsPerPixel = double(bar.maximum()) / width;
        // A 20 s title polled every 10 ms, forward and then back as a seek does.
        for (int tick = 0; tick <= 2000; ++tick) {
            const float value = tick * 0.05f;
            bar.setFloatValue(value);
            QCOMPARE(bar.floatValue(), value);
            QVERIFY(std::abs(bar.value() - value * 100) < stepsPerPixel + 1);
        }
        QCOMPARE(bar.value(), bar.maximum());
        for (int tick = 2000; tick >= 0; tick -= 7)
            bar.setFloatValue(tick * 0.05f);
        bar.setFloatValue(0);
        QCOMPARE(bar.value(), 0);
        // One change a pixel each way, not one a tick.
        QVERIFY2(drawnChanges.size() <= 2 * (width + 2),
                 qPrintable(QString::number(drawnChanges.size())));
    }

    void resizingDrawsTheExactValue() {
        ProgressBar bar;
        bar.resize(100, 12);
        bar.show();
        bar.setFloatValue(10.0f);
        bar.setFloatValue(10.4f); // less than a pixel on 100 pixels
        bar.resize(2000, 12);
        QCOMPARE(bar.value(), 1040);
    }
};

QTEST_MAIN(TestProgressBar)
#include "tst_progressbar.moc"
