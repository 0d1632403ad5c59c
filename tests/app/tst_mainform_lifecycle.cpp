// Start-up order, single instance and shutdown of the main window.
#include "MainFormHarness.h"

#include "platform/InstanceLock.h"
#include "ui/AboutForm.h"
#include "ui/GlyphButton.h"
#include "ui/OptionsDialog.h"
#include "ui/ProgressBar.h"
#include "ui/VolumeSlider.h"
#include "video/VideoStage.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QSplashScreen>
#include <QTest>

namespace {
// Records the windows shown and hidden while it lives, in order.
class ShowHideLog : public QObject {
public:
    ShowHideLog() { qApp->installEventFilter(this); }
    ~ShowHideLog() override { qApp->removeEventFilter(this); }
    QStringList steps;
    bool eventFilter(QObject* watched, QEvent* event) override {
        const char* what = event->type() == QEvent::Show   ? " shown"
                           : event->type() == QEvent::Hide ? " hidden"
                                                           : nullptr;
        if (what && (qobject_cast<QSplashScreen*>(watched) || qobject_cast<MainForm*>(watched)))
            steps.append(QString::fromLatin1(watched->metaObject()->className()) + what);
        return false;
    }
};

// What the screen holds of the splash window while it is up.
QImage splashOnScreen() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QSplashScreen*>(w) && w->isVisible()) {
            const QRect area = w->geometry();
            return w->screen()
                ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                .toImage();
        }
    return {};
}
} // namespace

class TestMainFormLifecycle : public QObject {
    Q_OBJECT
private slots:
    void anotherInstanceShowsOnlyTheWarningAndEnds();
    void staleLockOfADeadProcessIsTakenOver();
    void startStateOfTheControls();
    void bottomOffsetsAreRecordedInTwips();
    void missingConfigIsRecreatedAndReportedAfterStartUp();
    void recoveryThatCannotWriteSaysSo();
    void closing_data();
    void closing();
};

void TestMainFormLifecycle::anotherInstanceShowsOnlyTheWarningAndEnds() {
    MainFormHarness h(false);
    h.showSplash = true;
    InstanceLock firstInstance(QStringLiteral("TarnwickStillbeck"), h.programDir.path());
    firstInstance.create();
    QVERIFY(firstInstance.held());
    // The harness's lock is a second lock object on the same name, as a second process would use.
    h.lock =
        std::make_unique<InstanceLock>(QStringLiteral("TarnwickStillbeck"), h.programDir.path());
    ShowHideLog log;
    QImage splash;
    h.boxes.onShow = [&](const ScriptedMessageBoxes::Box&) {
        log.steps.append(QStringLiteral("message"));
        splash = splashOnScreen();
    };

    MainForm& form = h.start();

    // The warning comes over the painted splash; the window never shows.
    QCOMPARE(log.steps, (QStringList{"QSplashScreen shown", "message", "QSplashScreen hidden"}));
    const QImage picture(QStringLiteral(":/splash.png"));
    QCOMPARE(splash.size(), QSize(314, 164));
    int differing = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            differing += splash.pixel(x, y) != picture.pixel(x, y);
    QCOMPARE(differing, 0);

    const ScriptedMessageBoxes::Box warning{QStringLiteral("The application is already running."),
                                            QStringLiteral("Warning"), MessageBoxes::Icon::Warning};
    QCOMPARE(h.boxes.shown, QList<ScriptedMessageBoxes::Box>{warning});
    QCOMPARE(h.endProcessCalls, 1);
    QVERIFY(!form.isVisible());
    QVERIFY(!h.lock->held());
    // Nothing after the instance test ran: the settings file was not even looked at.
    QVERIFY(!QFile::exists(h.programDir.filePath(QStringLiteral("Config.cfg"))));
}

void TestMainFormLifecycle::staleLockOfADeadProcessIsTakenOver() {
    MainFormHarness h;
    // A lock file naming a process that cannot exist.
    QFile stale(h.lock->path());
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("2147483000\nstillbeck\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();

    h.start();

    QVERIFY(h.boxes.shown.isEmpty());
    QVERIFY(h.lock->held());
    QCOMPARE(h.endProcessCalls, 0);
}

void TestMainFormLifecycle::startStateOfTheControls() {
    MainFormHarness h;
    h.engine.vol = 37;
    MainForm& form = h.start();

    // The playback controls are off (the wiring test's no-disc row); these stay on.
    QVERIFY(probe(form).muteStatus->isEnabled());
    QVERIFY(probe(form).volumeSlider->isEnabled());
    QVERIFY(probe(form).fileMenu->menuAction()->isEnabled());
    QVERIFY(probe(form).toolsMenu->menuAction()->isEnabled());
    QVERIFY(probe(form).helpMenu->menuAction()->isEnabled());

    QCOMPARE(probe(form).volumeSlider->value(), 37);
    QCOMPARE(probe(form).toolTips->text(), QStringLiteral("Volume"));
    QVERIFY(h.engine.calls.filter(QStringLiteral("setVolume")).isEmpty());
    QCOMPARE(probe(form).movieProgress->floatValue(), 0.0f);
    QCOMPARE(probe(form).timeElapsed->text(), QString());
    QCOMPARE(probe(form).logoHide->x(), probe(form).stage->x());
    QCOMPARE(probe(form).muteStatus->glyph(), QStringLiteral("U"));
    QCOMPARE(probe(form).snapshotCommand->shortcut(), QKeySequence(QStringLiteral("Ctrl+F1")));
    QCOMPARE(probe(form).continuousSnapshots->shortcut(), QKeySequence(QStringLiteral("Ctrl+F2")));
    QCOMPARE(probe(form).timedSnapshots->shortcut(), QKeySequence(QStringLiteral("Ctrl+F3")));
    QCOMPARE(probe(form).fullScreenMenu->shortcut(), QKeySequence(QStringLiteral("Ctrl+F4")));
    QVERIFY(h.boxes.shown.isEmpty());
    QVERIFY(form.isVisible());
    QVERIFY(!form.capture().continuousRunning());
    QVERIFY(!form.capture().timedRunning());
}

void TestMainFormLifecycle::bottomOffsetsAreRecordedInTwips() {
    MainFormHarness h;
    MainForm& form = h.start();
    if (form.logicalDpiX() != 96)
        QSKIP("design offsets hold at 96 dpi");
    QCOMPARE(form.toolsFrameBottom, 968.0f);
    QCOMPARE(form.editTitleBottom, 1223.0f);
    QCOMPARE(form.controlFrameBottom, 1958.0f);
    QCOMPARE(form.mediaActionsTitleBottom, 2213.0f);
    QCOMPARE(form.timeElapsedBottom, 2198.0f);
    QCOMPARE(form.movieProgressBottom, 2468.0f);
}

void TestMainFormLifecycle::missingConfigIsRecreatedAndReportedAfterStartUp() {
    MainFormHarness h(false);
    h.showSplash = true;
    ShowHideLog log;
    h.boxes.onShow = [&](const ScriptedMessageBoxes::Box&) { log.steps.append("message"); };
    MainForm& form = h.start();

    // The message ends the load: after the splash has gone, before the window shows.
    QCOMPARE(log.steps, (QStringList{"QSplashScreen shown", "QSplashScreen hidden", "message",
                                     "MainForm shown"}));

    QVERIFY(QFile::exists(h.programDir.filePath(QStringLiteral("Config.cfg"))));
    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Error in the configuration file.\r"
                                                   "A new one was created with the defaults."));
    QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Error"));
    QCOMPARE(h.boxes.shown[0].icon, MessageBoxes::Icon::Critical);
    QCOMPARE(Settings::current(), Settings::defaults());
    // The engine options were built from the defaults before the message.
    QCOMPARE(form.session().engineOptions().value(0), QStringLiteral("snapshot-prefix=IMG_"));
    QCOMPARE(h.endProcessCalls, 0);
}

void TestMainFormLifecycle::recoveryThatCannotWriteSaysSo() {
    MainFormHarness h(false);
    // Where Config.cfg should be, nothing can be written.
    const QString config = h.programDir.filePath(QStringLiteral("Config.cfg"));
    QVERIFY(QDir().mkpath(config + QStringLiteral("/inside")));
    h.start();

    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Error in the configuration file.\r"
                                                   "A new one could not be written to:\r\r") +
                                        QDir::toNativeSeparators(config));
    QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Error"));
    QCOMPARE(Settings::current(), Settings::defaults());
}

void TestMainFormLifecycle::closing_data() {
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<QString>("capture");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Exit, no capture: no question") << true << "" << false;
    QTest::newRow("close, timed capture, No") << false << "timed" << false;
    QTest::newRow("Exit, timed capture, No") << true << "timed" << false;
    QTest::newRow("close, continuous capture, Yes") << false << "continuous" << true;
}

void TestMainFormLifecycle::closing() {
    QFETCH(bool, fromMenu);
    QFETCH(QString, capture);
    QFETCH(bool, yes);
    MainFormHarness h;
    MainForm& form = h.start();
    if (!capture.isEmpty()) {
        h.openMovie();
        Settings::current().hideIntervalPrompt = 1;
        if (capture == QLatin1String("timed"))
            form.timedSnapshots_Click();
        else
            form.continuousSnapshots_Click();
    }
    h.boxes.answers = {yes ? MessageBoxes::Answer::Yes : MessageBoxes::Answer::No};
    // Loaded, hidden, at start-up.
    const QPointer<AboutForm> about = form.aboutForm();
    const QPointer<OptionsDialog> options = form.optionsDialog();
    const bool asks = !capture.isEmpty();
    const bool ends = !asks || yes;

    if (fromMenu)
        form.exitCommand_Click();
    else
        QCOMPARE(form.close(), ends);

    const ScriptedMessageBoxes::Box question{
        QStringLiteral("Capture process is running now, are you sure to exit?"),
        QStringLiteral("Stillbeck"), MessageBoxes::Icon::Warning, MessageBoxes::Buttons::YesNo};
    QCOMPARE(h.boxes.shown, asks ? QList<ScriptedMessageBoxes::Box>{question}
                                 : QList<ScriptedMessageBoxes::Box>{});
    QCOMPARE(h.endProcessCalls, ends ? 1 : 0);
    QCOMPARE(form.isVisible(), !ends);
    // Answering No leaves the capture running.
    QCOMPARE(form.capture().timedRunning() || form.capture().continuousRunning(), asks);
    // The other windows go with the process.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(about.isNull(), ends);
    QCOMPARE(options.isNull(), ends);
}

QTEST_MAIN(TestMainFormLifecycle)
#include "tst_mainform_lifecycle.moc"
