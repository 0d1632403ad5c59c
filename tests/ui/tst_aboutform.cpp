// The about box: its texts, its links, its icon and its life cycle in the main window.
#include "MainFormHarness.h"

#include "platform/ProgramFolder.h"
#include "support/ModalRun.h"
#include "support/RecordingLauncher.h"
#include "ui/AboutForm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {
const QString DefaultDescription = QStringLiteral(
    "Use this easy-to-use application to easily and effectively extract or capture images from "
    "your favorite DVD-Video discs. You can extract one image while playing your favorite movie "
    "ad also you can extract a portion of the DVD-Video.");
const QString WebAddress = QStringLiteral("https://stillbeck.example.org");
const QString MailAddress = QStringLiteral("support@stillbeck.example.org");

void writePack(const QString& programFolder, const QString& name, const QByteArray& content) {
    QDir(programFolder).mkpath(QStringLiteral("Lang"));
    QFile pack(programFolder + QStringLiteral("/Lang/") + name);
    QVERIFY(pack.open(QIODevice::WriteOnly));
    pack.write(content);
}

QIcon solidIcon(const QColor& colour) {
    QPixmap pixmap(64, 64);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QColor centreOf(const QLabel* label) {
    const QImage image = label->pixmap().toImage();
    if (image.isNull())
        return {};
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QList<QWidget*> visibleWindows() {
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            windows.append(w);
    return windows;
}
} // namespace

class AboutFormTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void textsWithoutAPack();
    void textsFromAPack_data();
    void textsFromAPack();
    void linkFocusOpensTheLink_data();
    void linkFocusOpensTheLink();
    void showingAndTabbingOpenNoLink();
    void returningToTheWindowDoesNotReopenALink();

    void iconIsTheMainWindowsOnEveryPaint();
    void closingUnloadsAndTheNextAboutLoadsAgain_data();
    void closingUnloadsAndTheNextAboutLoadsAgain();
    void captionsAppliedAgainAfterTheOptions();
    void unloadedWithTheMainWindow();

private:
    std::unique_ptr<QTemporaryDir> programDir;
};

void AboutFormTest::init() {
    programDir = std::make_unique<QTemporaryDir>();
    QVERIFY(programDir->isValid());
    platform::setProgramFolder(programDir->path());
    Settings::current() = Settings::defaults();
}

void AboutFormTest::cleanup() {
    platform::setProgramFolder(QString());
}

void AboutFormTest::textsWithoutAPack() {
    AboutForm about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Stillbeck"));
    QCOMPARE(about.lblTitle->text(), QStringLiteral("Stillbeck"));
    QCOMPARE(about.lblVersion->text(), QStringLiteral("Version 1.0.0.0"));
    QCOMPARE(about.lblDescription->text(), DefaultDescription);
    QCOMPARE(about.SCLabel1->text(), WebAddress);
    QCOMPARE(about.SCLabel2->text(), MailAddress);
    QCOMPARE(about.cmdOK->text(), QStringLiteral("OK"));

    // The whole description fits its label, wrapped.
    QVERIFY(about.lblDescription->wordWrap());
    QVERIFY(about.lblDescription->heightForWidth(about.lblDescription->width()) <=
            about.lblDescription->height());
    QCOMPARE(about.minimumSize(), about.maximumSize());
    QVERIFY(!about.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!about.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

void AboutFormTest::textsFromAPack_data() {
    QTest::addColumn<QByteArray>("pack");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("description");
    QTest::newRow("all three") << QByteArray(
                                      "[Stillbeck Language Pack]\r\n51=Info zu\r\n52=Ausgabe\r\n"
                                      "53=Bilder von DVD-Video-Scheiben speichern.\r\n")
                               << "Info zu Stillbeck"
                               << "Ausgabe 1.0.0.0"
                               << "Bilder von DVD-Video-Scheiben speichern.";
    QTest::newRow("missing keys keep the defaults")
        << QByteArray("[Stillbeck Language Pack]\r\n51=Info zu\r\n") << "Info zu Stillbeck"
        << "Version 1.0.0.0" << DefaultDescription;
}

void AboutFormTest::textsFromAPack() {
    QFETCH(QByteArray, pack);
    QFETCH(QString, title);
    QFETCH(QString, version);
    QFETCH(QString, description);
    writePack(programDir->path(), QStringLiteral("Deutsch.ini"), pack);
    Settings::current().languageFile = QStringLiteral("Deutsch.ini");

    AboutForm about;
    QCOMPARE(about.windowTitle(), title);
    QCOMPARE(about.lblVersion->text(), version);
    QCOMPARE(about.lblDescription->text(), description);
    // The application's title and the links are never translated.
    QCOMPARE(about.lblTitle->text(), QStringLiteral("Stillbeck"));
    QCOMPARE(about.SCLabel1->text(), WebAddress);
    QCOMPARE(about.SCLabel2->text(), MailAddress);
}

void AboutFormTest::linkFocusOpensTheLink_data() {
    QTest::addColumn<int>("label");
    QTest::addColumn<bool>("desktopSucceeds");
    QTest::addColumn<QUrl>("opened");
    QTest::newRow("web address") << 1 << true << QUrl(WebAddress);
    QTest::newRow("e-mail address") << 2 << true << QUrl(QStringLiteral("mailto:") + MailAddress);
    QTest::newRow("web address, no browser") << 1 << false << QUrl(WebAddress);
    QTest::newRow("e-mail address, no mail program")
        << 2 << false << QUrl(QStringLiteral("mailto:") + MailAddress);
}

void AboutFormTest::linkFocusOpensTheLink() {
    QFETCH(int, label);
    QFETCH(bool, desktopSucceeds);
    QFETCH(QUrl, opened);
    RecordingLauncher desktop;
    desktop.openUrlSucceeds = desktopSucceeds;
    auto* about = new AboutForm;
    QPointer<AboutForm> guard(about);

    bool focused = false;
    bool stillOpen = false;
    bool onlyTheBox = false;
    const ModalRun run = runModal([&] { about->exec(); },
                                  [&](QWidget&) {
                                      QLabel* link = label == 1 ? about->SCLabel1 : about->SCLabel2;
                                      QTest::mouseClick(link, Qt::LeftButton);
                                      QApplication::processEvents();
                                      focused = link->hasFocus();
                                      stillOpen = about->isVisible();
                                      onlyTheBox = visibleWindows() == QList<QWidget*>{about};
                                      QTest::mouseClick(about->cmdOK, Qt::LeftButton);
                                  });
    QVERIFY(run.shown);
    QVERIFY(!run.forcedClosed);
    QVERIFY(focused);
    QCOMPARE(desktop.openedUrls, QList<QUrl>{opened});
    // Nothing is reported, whatever the desktop answered.
    QVERIFY(stillOpen);
    QVERIFY(onlyTheBox);
    QVERIFY(desktop.startedPrograms.isEmpty());
    QTRY_VERIFY(guard.isNull());
}

void AboutFormTest::showingAndTabbingOpenNoLink() {
    RecordingLauncher desktop;
    auto* about = new AboutForm;
    bool okFocusedFirst = false;
    const ModalRun run = runModal([&] { about->exec(); },
                                  [&](QWidget&) {
                                      okFocusedFirst = about->focusWidget() == about->cmdOK;
                                      for (int i = 0; i < 4; ++i)
                                          QTest::keyClick(about, Qt::Key_Tab);
                                      for (int i = 0; i < 4; ++i)
                                          QTest::keyClick(about, Qt::Key_Backtab);
                                      QTest::keyClick(about, Qt::Key_Return);
                                  });
    QVERIFY(run.shown);
    QVERIFY2(!run.forcedClosed, "Enter on the OK button closes the box");
    QVERIFY(okFocusedFirst);
    QVERIFY(desktop.openedUrls.isEmpty());
}

void AboutFormTest::returningToTheWindowDoesNotReopenALink() {
    RecordingLauncher desktop;
    auto* about = new AboutForm;
    int afterClick = -1;
    bool otherWasActive = false;
    bool backOnTheLink = false;
    const ModalRun run =
        runModal([&] { about->exec(); },
                 [&](QWidget&) {
                     QTest::mouseClick(about->SCLabel1, Qt::LeftButton);
                     afterClick = desktop.openedUrls.size();
                     // Another window takes the activation, as the browser would, then the box gets
                     // it back.
                     QWidget other(about, Qt::Window);
                     other.resize(100, 100);
                     other.show();
                     other.activateWindow();
                     otherWasActive = QTest::qWaitForWindowActive(&other);
                     other.close();
                     about->activateWindow();
                     backOnTheLink = QTest::qWaitForWindowActive(about) &&
                                     QTest::qWaitFor([&] { return about->SCLabel1->hasFocus(); });
                     about->close();
                 });
    QVERIFY(run.shown);
    QCOMPARE(afterClick, 1);
    QVERIFY(otherWasActive);
    QVERIFY(backOnTheLink);
    QCOMPARE(desktop.openedUrls.size(), 1);
}

void AboutFormTest::iconIsTheMainWindowsOnEveryPaint() {
    MainFormHarness h;
    MainForm& form = h.start();
    form.setWindowIcon(solidIcon(Qt::red));

    QColor first, afterChange;
    const ModalRun run = runModal(
        [&] { form.aboutMenu_Click(); },
        [&](QWidget& modal) {
            auto* shown = qobject_cast<AboutForm*>(&modal);
            if (!shown)
                return;
            AboutForm& about = *shown;
            first = centreOf(about.picIcon);
            about.setWindowIcon(solidIcon(Qt::blue));
            (void)QTest::qWaitFor([&] { return centreOf(about.picIcon) == QColor(Qt::blue); });
            afterChange = centreOf(about.picIcon);
            about.close();
        });
    QVERIFY(run.shown);
    QCOMPARE(first, QColor(Qt::red));
    QCOMPARE(afterChange, QColor(Qt::blue));
}

void AboutFormTest::closingUnloadsAndTheNextAboutLoadsAgain_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("OK button") << "ok";
    QTest::newRow("close control") << "close";
    QTest::newRow("Esc key") << "escape";
}

void AboutFormTest::closingUnloadsAndTheNextAboutLoadsAgain() {
    QFETCH(QString, how);
    MainFormHarness h;
    MainForm& form = h.start();
    // Loaded at start-up, with the OK text of the captions.
    QPointer<AboutForm> loaded = form.aboutForm();
    QCOMPARE(loaded->cmdOK->text(), QStringLiteral("&OK"));
    QVERIFY(!loaded->isVisible());
    // A pack appearing now is read only by a box loaded from now on.
    writePack(h.programDir.path(), QStringLiteral("English.ini"),
              "[Stillbeck Language Pack]\r\n51=Info\r\n03=&Fine\r\n");

    QString firstTitle, firstOk;
    const auto close = [&](AboutForm& about) {
        if (how == QLatin1String("ok"))
            QTest::mouseClick(about.cmdOK, Qt::LeftButton);
        else if (how == QLatin1String("close"))
            about.close();
        else
            QTest::keyClick(&about, Qt::Key_Escape);
    };
    ModalRun run = runModal([&] { form.aboutMenu_Click(); },
                            [&](QWidget& modal) {
                                auto* shown = qobject_cast<AboutForm*>(&modal);
                                if (!shown)
                                    return;
                                AboutForm& about = *shown;
                                firstTitle = about.windowTitle();
                                firstOk = about.cmdOK->text();
                                close(about);
                            });
    QVERIFY(run.shown);
    QVERIFY(!run.forcedClosed);
    QCOMPARE(firstTitle, QStringLiteral("About Stillbeck"));
    QCOMPARE(firstOk, QStringLiteral("&OK"));
    QVERIFY(loaded.isNull());

    QString secondTitle, secondOk;
    QPointer<AboutForm> second;
    run = runModal([&] { form.aboutMenu_Click(); },
                   [&](QWidget& modal) {
                       auto* shown = qobject_cast<AboutForm*>(&modal);
                       if (!shown)
                           return;
                       AboutForm& about = *shown;
                       second = &about;
                       secondTitle = about.windowTitle();
                       secondOk = about.cmdOK->text();
                       close(about);
                   });
    QVERIFY(run.shown);
    QVERIFY(!run.forcedClosed);
    QCOMPARE(secondTitle, QStringLiteral("Info Stillbeck"));
    // Only the captions give the OK button its looked-up text.
    QCOMPARE(secondOk, QStringLiteral("OK"));
    QVERIFY(second.isNull());
    QVERIFY(h.boxes.shown.isEmpty());
}

void AboutFormTest::captionsAppliedAgainAfterTheOptions() {
    MainFormHarness h;
    MainForm& form = h.start();
    runModal([&] { form.aboutMenu_Click(); }, [](QWidget& modal) { modal.close(); });
    QPointer<AboutForm> reloaded = form.aboutForm();
    QCOMPARE(reloaded->cmdOK->text(), QStringLiteral("OK"));

    // Another language is chosen; any dialog the options command shows is cancelled.
    writePack(h.programDir.path(), QStringLiteral("Deutsch.ini"),
              "[Stillbeck Language Pack]\r\n03=&Fertig\r\n51=Info zu\r\n52=Ausgabe\r\n");
    Settings::current().languageFile = QStringLiteral("Deutsch.ini");
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            if (!qobject_cast<AboutForm*>(modal))
                modal->close();
    });
    dismiss.start(50);
    form.optionsMenuCommand_Click();
    dismiss.stop();

    QVERIFY(reloaded.isNull());
    AboutForm* about = form.aboutForm();
    QVERIFY(!about->isVisible());
    QCOMPARE(about->cmdOK->text(), QStringLiteral("&Fertig"));
    QCOMPARE(about->windowTitle(), QStringLiteral("Info zu Stillbeck"));
    QCOMPARE(about->lblVersion->text(), QStringLiteral("Ausgabe 1.0.0.0"));
}

void AboutFormTest::unloadedWithTheMainWindow() {
    MainFormHarness h;
    MainForm& form = h.start();
    QPointer<AboutForm> about = form.aboutForm();
    QVERIFY(!about.isNull());
    form.exitCommand_Click();
    QCOMPARE(h.endProcessCalls, 1);
    QVERIFY(about.isNull());
}

QTEST_MAIN(AboutFormTest)
#include "tst_aboutform.moc"
