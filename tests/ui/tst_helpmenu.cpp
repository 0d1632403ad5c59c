// The Help menu's launchers: the help file of the chosen language and the update checker.
#include "MainFormHarness.h"

#include "support/ModalRun.h"
#include "support/RecordingLauncher.h"
#include "support/TestFiles.h"
#include "ui/AboutForm.h"
#include "ui/HelpWindow.h"

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

using Box = ScriptedMessageBoxes::Box;

namespace {
#ifdef Q_OS_WIN
const QString HelpExtension = QStringLiteral(".chm");
const QString UpdateChecker = QStringLiteral("Update.exe");
#else
const QString HelpExtension = QStringLiteral(".html");
const QString UpdateChecker = QStringLiteral("Update");
#endif

Box errorBox(const char* text) {
    return {QString::fromLatin1(text), QStringLiteral("Error"), MessageBoxes::Icon::Critical,
            MessageBoxes::Buttons::Ok};
}

const QFileDevice::Permissions Executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
} // namespace

class HelpMenuTest : public QObject {
    Q_OBJECT
private slots:
    void howToUse_data() {
        QTest::addColumn<QString>("languageFile");
        QTest::addColumn<QStringList>("helpFiles"); // present beside the program
        QTest::addColumn<bool>("desktopSucceeds");
        QTest::addColumn<QString>("opened"); // help file handed to the desktop, empty for none
        QTest::addColumn<bool>("message");
        QTest::addColumn<QString>("inWindow"); // page shown in the program's own help window
        const QString english = QStringLiteral("English") + HelpExtension;
        const QString deutsch = QStringLiteral("Deutsch") + HelpExtension;
        QTest::newRow("chosen pack's help, not English")
            << "Deutsch.ini" << QStringList{english, deutsch} << true << deutsch << false
            << QString();
        QTest::newRow("no help for the chosen pack")
            << "Deutsch.ini" << QStringList{english} << true << QString() << true << QString();
        QTest::newRow("no help, no desktop")
            << "Deutsch.ini" << QStringList{english} << false << QString() << true << QString();
        QTest::newRow("desktop cannot open it: own window")
            << "Deutsch.ini" << QStringList{english, deutsch} << false << deutsch << false
            << deutsch;
        QTest::newRow("name shorter than the extension")
            << "ini" << QStringList{english, HelpExtension} << true << QString() << true
            << QString();
    }
    void howToUse() {
        QFETCH(QString, languageFile);
        QFETCH(QStringList, helpFiles);
        QFETCH(bool, desktopSucceeds);
        QFETCH(QString, opened);
        QFETCH(bool, message);
        QFETCH(QString, inWindow);
        MainFormHarness h;
        MainForm& form = h.start();
        for (const QString& name : helpFiles)
            QVERIFY(writeFile(h.programDir.filePath(name),
                              "<html><p>Help " + name.toUtf8() + "</p></html>"));
        Settings::current().languageFile = languageFile;
        RecordingLauncher desktop;
        desktop.openUrlSucceeds = desktopSucceeds;

        form.howToUseMenu_Click();

        const QList<QUrl> expectedUrls =
            opened.isEmpty() ? QList<QUrl>()
                             : QList<QUrl>{QUrl::fromLocalFile(h.programDir.filePath(opened))};
        QCOMPARE(desktop.openedUrls, expectedUrls);
        QCOMPARE(h.boxes.shown,
                 message ? QList<Box>{errorBox("Can't find the help file.")} : QList<Box>());
        QVERIFY(desktop.startedPrograms.isEmpty());
        auto* window = qobject_cast<HelpWindow*>(form.helpWindow());
        QCOMPARE(window != nullptr, !inWindow.isEmpty());
        if (window) {
            QVERIFY(window->isVisible());
            QCOMPARE(window->browser()->toPlainText(), QStringLiteral("Help ") + inWindow);
        }
    }

    void helpMessageFollowsTheLanguage() {
        MainFormHarness h;
        MainForm& form = h.start();
        QVERIFY(writeFile(
            h.programDir.filePath(QStringLiteral("Lang/Deutsch.ini")),
            "[Stillbeck Language Pack]\r\n019=Hilfedatei nicht gefunden.\r\n010=Fehler\r\n"));
        Settings::current().languageFile = QStringLiteral("Deutsch.ini");
        RecordingLauncher desktop;
        form.howToUseMenu_Click();
        QCOMPARE(h.boxes.shown.size(), 1);
        QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Hilfedatei nicht gefunden."));
        QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Fehler"));
    }

    // A checker beside the program is started ("018" when it cannot be); without one, updates
    // come through the package manager: its software centre where the desktop has one, else a
    // message that says so.
    void checkUpdates_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("desktopSucceeds");
        QTest::addColumn<bool>("attempted");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("softwareCentre");
        const QString failed = QStringLiteral("Can't run the updates checker.");
        const QString packages =
            QStringLiteral("Updates for Stillbeck come with your system's package manager.");
        QTest::newRow("present and executable") << "executable" << true << true << "" << false;
        QTest::newRow("start refused") << "executable" << false << true << failed << false;
        QTest::newRow("not executable") << "plain" << true << false << failed << false;
#ifndef Q_OS_WIN
        QTest::newRow("missing, no software centre")
            << "missing" << true << false << packages << false;
        QTest::newRow("missing, a software centre") << "missing" << true << false << "" << true;
        QTest::newRow("a folder of that name") << "folder" << true << false << packages << false;
#endif
    }
    void checkUpdates() {
        QFETCH(QString, kind);
        QFETCH(bool, desktopSucceeds);
        QFETCH(bool, attempted);
        QFETCH(QString, message);
        QFETCH(bool, softwareCentre);
        MainFormHarness h;
        MainForm& form = h.start();
        const QString path = h.programDir.filePath(UpdateChecker);
        if (kind == QLatin1String("executable"))
            QVERIFY(writeFile(path, "#!/bin/sh\nexit 0\n", Executable));
        else if (kind == QLatin1String("plain"))
            QVERIFY(writeFile(path, "#!/bin/sh\nexit 0\n", QFile::ReadOwner | QFile::WriteOwner));
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir(h.programDir.path()).mkdir(UpdateChecker));
        RecordingLauncher desktop;
        desktop.startSucceeds = desktopSucceeds;
        if (softwareCentre)
            desktop.schemeHandlers = {QStringLiteral("appstream")};

        form.checkUpdates_Click();

        QCOMPARE(desktop.startedPrograms, attempted ? QStringList{path} : QStringList());
        QCOMPARE(desktop.openedUrls, softwareCentre
                                         ? QList<QUrl>{QUrl("appstream:org.example.stillbeck")}
                                         : QList<QUrl>());
        QCOMPARE(h.boxes.shown.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(h.boxes.shown[0].text, message);
    }

    void updateCheckerReallyStarts() {
        MainFormHarness h;
        MainForm& form = h.start();
        // The checker notes how many arguments it got and the folder it started in.
        const QString note = h.programDir.filePath(QStringLiteral("ran.txt"));
        QVERIFY(writeFile(h.programDir.filePath(UpdateChecker),
                          "#!/bin/sh\nprintf '%s\\n%s' \"$#\" \"$(pwd)\" > \"$0.tmp\" && mv "
                          "\"$0.tmp\" \"" +
                              QFile::encodeName(note) + "\"\n",
                          Executable));

        form.checkUpdates_Click();

        QVERIFY(h.boxes.shown.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(note), 10000);
        const QList<QByteArray> lines = readFile(note).split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QByteArray("0"));
        QCOMPARE(QDir(QString::fromLocal8Bit(lines[1])).canonicalPath(),
                 QDir::current().canonicalPath());
    }

    void menuEntriesRunTheirHandlers() {
        MainFormHarness h;
        MainForm& form = h.start();
        QVERIFY(
            writeFile(h.programDir.filePath(QStringLiteral("English") + HelpExtension), "<html/>"));
        QVERIFY(writeFile(h.programDir.filePath(UpdateChecker), "#!/bin/sh\nexit 0\n", Executable));
        RecordingLauncher desktop;
        probe(form).howToUseMenu->trigger();
        probe(form).checkUpdates->trigger();
        QCOMPARE(desktop.openedUrls.size(), 1);
        QCOMPARE(desktop.startedPrograms.size(), 1);

        QString shownTitle;
        const ModalRun run = runModal([&] { probe(form).aboutMenu->trigger(); },
                                      [&](QWidget& modal) {
                                          shownTitle = modal.windowTitle();
                                          modal.close();
                                      });
        QVERIFY(run.shown);
        QVERIFY(!run.forcedClosed);
        QCOMPARE(shownTitle, QStringLiteral("About Stillbeck"));
        QVERIFY(h.boxes.shown.isEmpty());
    }
};

QTEST_MAIN(HelpMenuTest)
#include "tst_helpmenu.moc"
