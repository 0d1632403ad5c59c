// The main window's layout pass: pure geometry in twips, and what the window does with it.
#include "MainFormHarness.h"

#include "ui/MainLayout.h"
#include "ui/ProgressBar.h"
#include "video/VideoStage.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QTest>

namespace {
MainLayoutInput designInput() {
    MainLayoutInput in;
    in.width = 6825;
    in.height = 8235;
    in.scaleWidth = 6705;
    in.scaleHeight = 7425;
    in.twipsPerPixel = 15;
    in.toolsFrameBottom = 968;
    in.editTitleBottom = 1223;
    in.controlFrameBottom = 1958;
    in.mediaActionsTitleBottom = 2213;
    in.timeElapsedBottom = 2198;
    in.movieProgressBottom = 2468;
    in.stage = MainLayout::kDesignStage;
    return in;
}

MainLayoutInput grownBy(float dw, float dh) {
    MainLayoutInput in = designInput();
    in.width += dw;
    in.scaleWidth += dw;
    in.height += dh;
    in.scaleHeight += dh;
    return in;
}
} // namespace

class TestMainLayout : public QObject {
    Q_OBJECT
private slots:
    void firstPassAtTheDesignSize();
    void repeatedPassesCreepUpUntilTheAreaFits();
    void anAreaThatJustReachesTheBarIsShrunk();
    void wideWindowIsLimitedByItsHeight();
    void tallerWindowMovesTheBandsDown();
    void smallerThanDesignIsLaidOutAtTheMinimum();
    void windowWritesFourLogLinesPerPass();
    void minimizedWindowWritesNothing();
};

void TestMainLayout::firstPassAtTheDesignSize() {
    const MainLayoutResult r = layoutMainWindow(designInput());
    QCOMPARE(r.toolsFrameTop, 6450.0f);
    QCOMPARE(r.editTitleTop, 6195.0f);
    QCOMPARE(r.controlFrameTop, 5460.0f);
    QCOMPARE(r.mediaActionsTitleTop, 5205.0f);
    QCOMPARE(r.timeElapsedTop, 5220.0f);
    QCOMPARE(r.movieProgressTop, 4950.0f);
    QCOMPARE(r.bandWidth, 6690.0f);
    QCOMPARE(r.volumeSliderLeft, 3870.0f);
    QCOMPARE(r.muteStatusLeft, 3180.0f);
    QCOMPARE(r.timeElapsedLeft, 2850.0f);
    // 6690 x 5017.5 does not fit above the bar: shrunk to the height that does.
    QCOMPARE(r.stage.height, 4829.0f);
    QVERIFY(qAbs(r.stage.width - 6438.667f) < 0.01f);
    QCOMPARE(r.stage.top, 60.5f);
    QVERIFY(qAbs(r.stage.left - 133.1667f) < 0.01f);
    QCOMPARE(r.toolTips.top, 7020.0f);
    QCOMPARE(r.toolTips.width, 6705.0f);
    QCOMPARE(r.toolTips.height, 8235.0f - 7020.0f);
}

void TestMainLayout::repeatedPassesCreepUpUntilTheAreaFits() {
    MainLayoutInput in = designInput();
    float previousTop = in.stage.top;
    for (int pass = 0; pass < 4; ++pass) {
        const MainLayoutResult r = layoutMainWindow(in);
        QCOMPARE(r.stage.height, 4950.0f - previousTop - 1);
        QCOMPARE(r.stage.top, (previousTop + 1) / 2);
        QVERIFY(r.stage.top < previousTop);
        previousTop = r.stage.top;
        in.stage = r.stage;
    }
}

void TestMainLayout::anAreaThatJustReachesTheBarIsShrunk() {
    MainLayoutInput in = designInput();
    // Full width 6690 gives a height of 5017.5; a top of 4950 - 5017.5 makes them meet exactly.
    in.height += 5000;
    in.scaleHeight += 5000; // the bar moves to 9950
    in.stage.top = 9950 - 5017.5f;
    const MainLayoutResult r = layoutMainWindow(in);
    QCOMPARE(r.stage.height, 9950 - in.stage.top - 1);
}

void TestMainLayout::wideWindowIsLimitedByItsHeight() {
    const MainLayoutResult r = layoutMainWindow(grownBy(20000, 0));
    QVERIFY(r.stage.width < r.bandWidth);
    QVERIFY(qAbs(r.stage.width - r.stage.height * 4 / 3) < 0.01f);
    QVERIFY(qAbs(r.stage.left - (6705 + 20000 - r.stage.width) / 2) < 0.01f);
    QCOMPARE(r.volumeSliderLeft, 3870.0f + 20000);
}

void TestMainLayout::tallerWindowMovesTheBandsDown() {
    const MainLayoutResult before = layoutMainWindow(designInput());
    const MainLayoutResult after = layoutMainWindow(grownBy(0, 3000));
    QCOMPARE(after.toolsFrameTop - before.toolsFrameTop, 3000.0f);
    QCOMPARE(after.editTitleTop - before.editTitleTop, 3000.0f);
    QCOMPARE(after.controlFrameTop - before.controlFrameTop, 3000.0f);
    QCOMPARE(after.mediaActionsTitleTop - before.mediaActionsTitleTop, 3000.0f);
    QCOMPARE(after.timeElapsedTop - before.timeElapsedTop, 3000.0f);
    QCOMPARE(after.movieProgressTop - before.movieProgressTop, 3000.0f);
    // Much taller: the full-width area fits and keeps its 4:3 shape.
    const MainLayoutResult tall = layoutMainWindow(grownBy(0, 6000));
    QCOMPARE(tall.stage.width, 6690.0f);
    QCOMPARE(tall.stage.height, 5017.5f);
}

void TestMainLayout::smallerThanDesignIsLaidOutAtTheMinimum() {
    const MainLayoutResult small = layoutMainWindow(grownBy(-2000, -1500));
    const MainLayoutResult design = layoutMainWindow(designInput());
    QCOMPARE(small.bandWidth, design.bandWidth);
    QCOMPARE(small.toolsFrameTop, design.toolsFrameTop);
    QCOMPARE(small.stage, design.stage);
}

void TestMainLayout::windowWritesFourLogLinesPerPass() {
    MainFormHarness h;
    MainForm& f = h.start();
    QFile log(h.programDir.filePath(QStringLiteral("logerror.txt")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    log.close();
    // Two passes, four CR LF lines each: the load's, and the first showing's, in which the video
    // area creeps up from where the first left it.
    QCOMPARE(lines.size(), 9);
    if (f.logicalDpiX() == 96) {
        QCOMPARE(lines[1], QByteArray(" 60.5 \r"));
        QCOMPARE(lines[3], QByteArray(" 4829 \r"));
        QCOMPARE(lines[5], QByteArray(" 30.75 \r"));
        QCOMPARE(lines[7], QByteArray(" 4888.5 \r"));
        QCOMPARE(probe(f).stage->geometry(), QRect(6, 2, 435, 326));
        QCOMPARE(probe(f).logoHide->geometry(), probe(f).stage->geometry());
    }
    // The bands end inside the client area, so the whole position bar takes clicks.
    const auto bandsInside = [&f] {
        for (QWidget* band :
             QList<QWidget*>{probe(f).movieProgress, probe(f).mediaActionsTitle,
                             probe(f).controlFrame, probe(f).editTitle, probe(f).toolsFrame})
            if (band->geometry().right() >= f.width())
                return false;
        return true;
    };
    QVERIFY(bandsInside());
    // A shown window's resize notification runs the next pass.
    f.resize(f.width() + 200, f.height() + 100);
    QVERIFY(bandsInside());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll().count('\n'), 12);
}

void TestMainLayout::minimizedWindowWritesNothing() {
    MainFormHarness h;
    MainForm& f = h.start();
    const QString path = h.programDir.filePath(QStringLiteral("logerror.txt"));
    const qint64 before = QFileInfo(path).size();
    const QRect stageBefore = probe(f).stage->geometry();
    f.setWindowState(Qt::WindowMinimized);
    f.Form_Resize();
    QCOMPARE(QFileInfo(path).size(), before);
    QCOMPARE(probe(f).stage->geometry(), stageBefore);
    // Restoring at the same size raises no resize, yet the state change alone runs a pass.
    f.setWindowState(Qt::WindowNoState);
    QVERIFY(QFileInfo(path).size() > before);
}

QTEST_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
