// The program in a Wayland session: its window is mapped by the compositor and the authored disc
// plays and is captured in it. ctest runs this inside a headless weston; elsewhere it skips.
#include "Fixtures.h"
#include "MainFormHarness.h"

#include "capture/SnapshotWriter.h"
#include "engine/VlcEngine.h"
#include "ui/GlyphButton.h"
#include "video/VideoStage.h"

#include <QDir>
#include <QGuiApplication>
#include <QSet>
#include <QTest>
#include <QTimer>

class TestWaylandE2E : public QObject {
    Q_OBJECT
private slots:
    void windowShowsAndTheDiscPlays() {
        if (QGuiApplication::platformName() != QStringLiteral("wayland")) {
            // Inside the compositor that ctest starts, anything else is a failure.
            QVERIFY(qEnvironmentVariableIsEmpty("STILLBECK_EXPECT_WAYLAND"));
            QSKIP("needs a Wayland session (ctest starts a headless weston for it)");
        }
        if (!QFile::exists(fixture(QStringLiteral("movie.iso"))))
            QSKIP("the DVD fixture was not authored (run through ctest)");

        MainFormHarness h;
        h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"),
                            fixture(QStringLiteral("movie.iso")));
        QTemporaryDir shots;
        MainForm& f = h.startOnVlc(shots.path());
        VlcEngine& vlc = h.vlc->engine();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.fileMenu_Click();
        f.dvdsList_Click(0);
        QVERIFY(h.boxes.shown.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(probe(f).fullScreenButton->isEnabled(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(vlc.frameStore()->latest() != nullptr, 5000);
        // The stage paints the decoded frames itself: the picture is in the window.
        QTRY_VERIFY_WITH_TIMEOUT(distinctLevels(probe(f).stage->grab().toImage()) > 8, 5000);

        f.snapshotButton_Click();
        QVERIFY(h.vlc->writer().waitForIdle(5000));
        QCOMPARE(QDir(shots.filePath(QStringLiteral("MOVIE Images"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("IMG_00001.png")});
    }
};

QTEST_MAIN(TestWaylandE2E)
#include "tst_wayland_e2e.moc"
