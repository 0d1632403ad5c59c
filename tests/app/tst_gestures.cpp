// The habits of other players through the window's real event path: Space, a double-click on the
// picture and the wheel (in the window and in full screen), a disc dropped on the window or named
// at start, and a second start that hands its disc to the window already open.
#include "MainFormHarness.h"

#include "platform/InstanceChannel.h"
#include "ui/GlyphButton.h"
#include "ui/VolumeSlider.h"
#include "video/FullScreenView.h"
#include "video/VideoStage.h"

#include <QApplication>
#include <QMimeData>
#include <QProcess>
#include <QtTest>

namespace {
const char* const kSecondStart = "STILLBECK_TEST_SECOND_START"; // the lock's folder

void turnWheel(QWidget* widget, int angle) {
    QWheelEvent wheel(QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, angle),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

// Whether the window takes a drag of `path`, and what a drop of it opened.
bool dragAccepted(MainForm& f, const QString& path) {
    if (!f.acceptDrops())
        return false;
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(&f, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &drop);
    return enter.isAccepted();
}

// A second start as the program makes it, in this process: prints the boxes it showed.
int secondStart(const QString& lockFolder, const QString& argument) {
    MainFormHarness h;
    h.lock = std::make_unique<InstanceLock>(QStringLiteral("TarnwickStillbeck"), lockFolder);
    InstanceChannel channel(h.lock->channelPath());
    h.instanceChannel = &channel;
    h.discArgument = argument;
    const bool shown = h.start().isVisible();
    for (const auto& box : h.boxes.shown)
        std::printf("box: %s\n", qPrintable(box.text));
    return shown ? 1 : 0;
}
} // namespace

class TestGestures : public QObject {
    Q_OBJECT
private slots:
    void spaceDoubleClickAndWheelInTheWindowAndFullScreen();
    void discsFromADropOrTheCommandLine_data();
    void discsFromADropOrTheCommandLine();
    void secondStartHandsItsDiscOver();
    void everySliderChangeSetsTheVolumeShown_data();
    void everySliderChangeSetsTheVolumeShown();
};

void TestGestures::everySliderChangeSetsTheVolumeShown_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("click on the track") << "click";
    QTest::newRow("key") << "key";
    QTest::newRow("wheel") << "wheel";
    QTest::newRow("left-button drag") << "drag";
}

// Whatever moves the slider, the volume that plays (and the filled part) is what it shows, and
// the sound comes back on.
void TestGestures::everySliderChangeSetsTheVolumeShown() {
    QFETCH(QString, change);
    MainFormHarness h;
    MainForm& f = h.start();
    const MainFormProbe c(f);
    h.openMovie();
    VolumeSlider* slider = c.volumeSlider;
    QCOMPARE(slider->value(), 50);
    f.muteStatus_Click();
    const QPoint left(4, slider->height() / 2);
    if (change == "click") {
        QTest::mouseClick(slider, Qt::LeftButton, {}, left);
    } else if (change == "key") {
        QTest::keyClick(slider, Qt::Key_Left);
    } else if (change == "wheel") {
        turnWheel(slider, -120);
    } else {
        const QPoint thumb(slider->width() / 2, slider->height() / 2);
        QTest::mousePress(slider, Qt::LeftButton, {}, thumb);
        QTest::mouseMove(slider, left);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, left);
    }
    QVERIFY2(slider->value() < 50, qPrintable(change));
    QCOMPARE(h.engine.vol, slider->value());
    QCOMPARE(slider->selLength(), slider->value());
    QVERIFY(!h.engine.muted);
}

void TestGestures::spaceDoubleClickAndWheelInTheWindowAndFullScreen() {
    MainFormHarness h;
    FullScreenView fullScreen(h.engine);
    h.fullScreen = &fullScreen;
    MainForm& f = h.start();
    const MainFormProbe c(f);
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    // Space belongs to the transport even where a focused button would take it.
    c.muteStatus->setFocus();
    QTest::keyClick(c.muteStatus, Qt::Key_Space); // no disc: the buttons' guard holds
    QTest::mouseDClick(c.stage, Qt::LeftButton);
    QCOMPARE(h.engine.calls, QStringList());

    h.openMovie();
    h.engine.calls.clear();
    QTest::keyClick(c.muteStatus, Qt::Key_Space);
    QTest::keyClick(c.muteStatus, Qt::Key_Space);
    QTest::mouseDClick(c.stage, Qt::LeftButton);
    QCOMPARE(h.engine.calls, (QStringList{"pause", "play", "fullscreen"}));

    f.muteStatus_Click(); // the wheel brings the sound back, as a drag does
    turnWheel(c.stage, 120);
    QCOMPARE(h.engine.vol, 55);
    QVERIFY(!h.engine.muted);
    turnWheel(c.volumeSlider, -60); // half a notch waits for the other half
    QCOMPARE(h.engine.vol, 55);
    turnWheel(c.volumeSlider, -180);
    QCOMPARE(h.engine.vol, 45);
    QCOMPARE(c.volumeSlider->selLength(), 45);

    fullScreen.show();
    auto* view = qobject_cast<VideoStage*>(QApplication::activeWindow());
    QVERIFY(QTest::qWaitFor([&] {
        view = qobject_cast<VideoStage*>(QApplication::activeWindow());
        return view && view->isFullScreen();
    }));
    h.engine.calls.clear();
    QTest::keyClick(view, Qt::Key_Space);
    QTest::keyClick(view, Qt::Key_Period); // the frame steps work over the picture too
    QTest::keyClick(view, Qt::Key_Comma);
    turnWheel(view, 11 * 120); // clamped at the slider's end
    QCOMPARE(h.engine.calls,
             (QStringList{"pause", "stepForward", "stepBackward", "setVolume 100"}));
    QTest::mouseDClick(view, Qt::LeftButton);
    QTRY_VERIFY(!fullScreen.isShown());
}

void TestGestures::discsFromADropOrTheCommandLine_data() {
    QTest::addColumn<QString>("given");  // in a folder holding movie.iso, Film/VIDEO_TS, notes.txt
    QTest::addColumn<bool>("dropped");   // or named at start
    QTest::addColumn<QString>("target"); // handed to the engine; "" for none
    QTest::newRow("dropped image") << "%1/movie.iso" << true << "dvd://%1/movie.iso";
    QTest::newRow("dropped VIDEO_TS") << "%1/Film/VIDEO_TS" << true << "dvd://%1/Film";
    QTest::newRow("dropped text file") << "%1/notes.txt" << true << "";
    QTest::newRow("folder holding it") << "%1/Film" << false << "dvd://%1/Film";
    QTest::newRow("file URI") << "file://%1/Film/VIDEO_TS" << false << "dvd://%1/Film";
    QTest::newRow("drive's device") << "%1/sr0" << false << "dvd://D:";
}

void TestGestures::discsFromADropOrTheCommandLine() {
    QFETCH(QString, given);
    QFETCH(bool, dropped);
    QFETCH(QString, target);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Film/VIDEO_TS")));
    for (const char* name : {"movie.iso", "notes.txt", "sr0"})
        QVERIFY(QFile(dir.filePath(QLatin1String(name))).open(QIODevice::WriteOnly));
    given.replace(QStringLiteral("%1"), dir.path());
    target.replace(QStringLiteral("%1"), dir.path());
    MainFormHarness h;
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"), dir.filePath("sr0"));
    h.discArgument = dropped ? QString() : given;
    MainForm& f = h.start();
    if (dropped)
        QCOMPARE(dragAccepted(f, given), !target.isEmpty());
    QTRY_COMPARE(h.engine.lastTarget, target);
}

void TestGestures::secondStartHandsItsDiscOver() {
    MainFormHarness first;
    InstanceChannel channel(first.lock->channelPath());
    first.instanceChannel = &channel;
    first.start();
    const QString disc = first.programDir.filePath(QStringLiteral("movie.iso"));
    QVERIFY(QFile(disc).open(QIODevice::WriteOnly));

    const auto startAgain = [&](const QStringList& arguments) {
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kSecondStart), first.programDir.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.start(QCoreApplication::applicationFilePath(), arguments);
        // This window serves the channel meanwhile.
        (void)QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 60000);
        return QPair<int, QString>(second.exitCode(),
                                   QString::fromLocal8Bit(second.readAllStandardOutput()));
    };
    QCOMPARE(startAgain({disc}), (QPair<int, QString>(0, QString())));
    QTRY_COMPARE(first.engine.lastTarget, QStringLiteral("dvd://") + disc);
    QCOMPARE(startAgain({}),
             (QPair<int, QString>(0, "box: The application is already running.\n")));
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kSecondStart))
        return secondStart(qEnvironmentVariable(kSecondStart), app.arguments().value(1));
    TestGestures test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_gestures.moc"
