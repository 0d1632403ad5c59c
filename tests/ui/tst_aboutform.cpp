// The about box: its texts, its links, its icon and its life cycle in the main window.
#include "MainFormHarness.h"

#include "platform/ProgramFolder.h"
#include "support/ModalRun.h"
#include "support/RecordingLauncher.h"
#include "support/TestFiles.h"
#include "ui/AboutForm.h"

#include <QApplication>
#include <QLabel>
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
    QVERIFY(writeFile(programFolder + QStringLiteral("/Lang/") + name, content));
}

QIcon solidIcon(const QColor& colour) {
    QPixmap pixmap(64, 64);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QColor centreOf(const QLabel* label) {
    const QImage image = label->pixmap().toImage();
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

// Shows a box of its own modally; script acts in it once it is active.
ModalRun runBox(AboutForm* about, const std::function<void()>& script) {
    return runModal([&] { about->exec(); }, [&](QWidget&) { script(); });
}

// Runs the main window's About command; script acts in the box once it is active.
ModalRun runAbout(MainForm& form, const std::function<void(AboutForm&)>& script) {
    return runModal([&] { form.aboutMenu_Click(); },
                    [&](QWidget& modal) {
                        if (auto* about = qobject_cast<AboutForm*>(&modal))
                            script(*about);
                    });
}
} // namespace

class AboutFormTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        programDir = std::make_unique<QTemporaryDir>();
        QVERIFY(programDir->isValid());
        platform::setProgramFolder(programDir->path());
        Settings::current() = Settings::defaults();
    }

    void cleanup() { platform::setProgramFolder(QString()); }

    void texts_data() {
        QTest::addColumn<QByteArray>("pack"); // null: no pack at all
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("description");
        QTest::newRow("no pack") << QByteArray() << "About Stillbeck"
                                 << "Version 1.0.0.0" << DefaultDescription;
        QTest::newRow("all three")
            << QByteArray("51=Info zu\r\n52=Ausgabe\r\n53=Bilder von DVD-Scheiben.\r\n")
            << "Info zu Stillbeck"
            << "Ausgabe 1.0.0.0"
            << "Bilder von DVD-Scheiben.";
        QTest::newRow("missing keys keep the defaults")
            << QByteArray("51=Info zu\r\n") << "Info zu Stillbeck"
            << "Version 1.0.0.0" << DefaultDescription;
    }
    void texts() {
        QFETCH(QByteArray, pack);
        QFETCH(QString, title);
        QFETCH(QString, version);
        QFETCH(QString, description);
        if (!pack.isNull())
            writePack(programDir->path(), QStringLiteral("Deutsch.ini"),
                      "[Stillbeck Language Pack]\r\n" + pack);
        Settings::current().languageFile = QStringLiteral("Deutsch.ini");

        AboutForm about;
        QCOMPARE(about.windowTitle(), title);
        QCOMPARE(about.lblVersion->text(), version);
        QCOMPARE(about.lblDescription->text(), description);
        // The whole description fits its label, wrapped.
        QVERIFY(about.lblDescription->heightForWidth(about.lblDescription->width()) <=
                about.lblDescription->height());
        // The application's title and the links are never translated.
        QCOMPARE(about.lblTitle->text(), QStringLiteral("Stillbeck"));
        QCOMPARE(about.SCLabel1->text(), WebAddress);
        QCOMPARE(about.SCLabel2->text(), MailAddress);
    }

    void linkFocusOpensTheLink_data() {
        QTest::addColumn<int>("label");
        QTest::addColumn<bool>("desktopSucceeds");
        QTest::addColumn<QUrl>("opened");
        QTest::newRow("web address") << 1 << true << QUrl(WebAddress);
        QTest::newRow("e-mail address, no mail program")
            << 2 << false << QUrl(QStringLiteral("mailto:") + MailAddress);
    }
    void linkFocusOpensTheLink() {
        QFETCH(int, label);
        QFETCH(bool, desktopSucceeds);
        QFETCH(QUrl, opened);
        RecordingLauncher desktop;
        desktop.openUrlSucceeds = desktopSucceeds;
        QPointer<AboutForm> about = new AboutForm;
        bool focused = false;
        bool onlyTheBox = false;
        const ModalRun run = runBox(about, [&] {
            QLabel* link = label == 1 ? about->SCLabel1 : about->SCLabel2;
            QTest::mouseClick(link, Qt::LeftButton);
            QApplication::processEvents();
            focused = link->hasFocus();
            QList<QWidget*> windows;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible())
                    windows.append(w);
            onlyTheBox = windows == QList<QWidget*>{about.data()};
            QTest::mouseClick(about->cmdOK, Qt::LeftButton);
        });
        QVERIFY(run.shown);
        QVERIFY(!run.forcedClosed);
        QVERIFY(focused);
        QCOMPARE(desktop.openedUrls, QList<QUrl>{opened});
        // Nothing is reported, whatever the desktop answered: the box is the only window shown.
        QVERIFY(onlyTheBox);
        QVERIFY(desktop.startedPrograms.isEmpty());
        QTRY_VERIFY(about.isNull());
    }

    void keyboardOpensTheLinks_data() {
        QTest::addColumn<int>("tabs");
        QTest::addColumn<int>("key");
        QTest::addColumn<QUrl>("opened");
        QTest::newRow("Tab to the web address, Enter")
            << 1 << int(Qt::Key_Return) << QUrl(WebAddress);
        QTest::newRow("Tab twice to the e-mail address, Space")
            << 2 << int(Qt::Key_Space) << QUrl(QStringLiteral("mailto:") + MailAddress);
    }
    void keyboardOpensTheLinks() {
        QFETCH(int, tabs);
        QFETCH(int, key);
        QFETCH(QUrl, opened);
        RecordingLauncher desktop;
        QPointer<AboutForm> about = new AboutForm;
        qsizetype openedByTabbing = -1;
        bool stillOpen = false;
        const ModalRun run = runBox(about, [&] {
            for (int i = 0; i < tabs; ++i)
                QTest::keyClick(about, Qt::Key_Tab);
            openedByTabbing = desktop.openedUrls.size();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
            stillOpen = about->isVisible(); // the key opened the link, not the OK button
            about->close();
        });
        QVERIFY(run.shown);
        QCOMPARE(openedByTabbing, 0);
        QVERIFY(stillOpen);
        QCOMPARE(desktop.openedUrls, QList<QUrl>{opened});
    }

    void showingAndTabbingOpenNoLink() {
        RecordingLauncher desktop;
        auto* about = new AboutForm;
        bool okFocusedFirst = false;
        const ModalRun run = runBox(about, [&] {
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

    void returningToTheWindowDoesNotReopenALink() {
        RecordingLauncher desktop;
        auto* about = new AboutForm;
        int afterClick = -1;
        bool otherWasActive = false;
        bool backOnTheLink = false;
        const ModalRun run = runBox(about, [&] {
            QTest::mouseClick(about->SCLabel1, Qt::LeftButton);
            afterClick = desktop.openedUrls.size();
            // Another window takes the activation, as the browser would, then the box gets it back.
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

    void iconIsTheMainWindowsOnEveryPaint() {
        MainFormHarness h;
        MainForm& form = h.start();
        form.setWindowIcon(solidIcon(Qt::red));
        QColor first, afterChange;
        const ModalRun run = runAbout(form, [&](AboutForm& about) {
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

    void closingUnloadsAndTheNextAboutLoadsAgain_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("OK button") << "ok";
        QTest::newRow("close control") << "close";
        QTest::newRow("Esc key") << "escape";
    }
    void closingUnloadsAndTheNextAboutLoadsAgain() {
        QFETCH(QString, how);
        MainFormHarness h;
        MainForm& form = h.start();
        // Loaded at start-up, with the OK text of the captions.
        QPointer<AboutForm> loaded = form.aboutForm();
        QVERIFY(!loaded->isVisible());
        // A pack appearing now is read only by a box loaded from now on.
        writePack(h.programDir.path(), QStringLiteral("English.ini"),
                  "[Stillbeck Language Pack]\r\n51=Info\r\n03=&Fine\r\n");

        QStringList texts; // title and OK text at each showing
        QList<QPointer<AboutForm>> shown;
        const auto showAndClose = [&](AboutForm& about) {
            shown.append(&about);
            texts << about.windowTitle() << about.cmdOK->text();
            if (how == QLatin1String("ok"))
                QTest::mouseClick(about.cmdOK, Qt::LeftButton);
            else if (how == QLatin1String("close"))
                about.close();
            else
                QTest::keyClick(&about, Qt::Key_Escape);
        };
        for (int i = 0; i < 2; ++i) {
            const ModalRun run = runAbout(form, showAndClose);
            QVERIFY(run.shown);
            QVERIFY(!run.forcedClosed);
        }
        // Only the captions give the OK button its looked-up text; a reloaded box shows "OK".
        QCOMPARE(texts, (QStringList{"About Stillbeck", "&OK", "Info Stillbeck", "OK"}));
        QCOMPARE(shown.size(), 2);
        QVERIFY(loaded.isNull());
        QVERIFY(shown[1].isNull());
        QVERIFY(h.boxes.shown.isEmpty());
    }

    void captionsAppliedAgainAfterTheOptions() {
        MainFormHarness h;
        MainForm& form = h.start();
        runAbout(form, [](AboutForm& about) { about.close(); });
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

private:
    std::unique_ptr<QTemporaryDir> programDir;
};

QTEST_MAIN(AboutFormTest)
#include "tst_aboutform.moc"
