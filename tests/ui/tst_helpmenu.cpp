// The Help menu's launchers: the help file of the chosen language and the update checker.
#include "MainFormHarness.h"

#include "support/ModalRun.h"
#include "support/RecordingLauncher.h"
#include "ui/AboutForm.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

namespace {
#ifdef Q_OS_WIN
const QString HelpExtension = QStringLiteral(".chm");
const QString UpdateChecker = QStringLiteral("Update.exe");
#else
const QString HelpExtension = QStringLiteral(".html");
const QString UpdateChecker = QStringLiteral("Update");
#endif

const ScriptedMessageBoxes::Box HelpMissingBox{
    QStringLiteral("Can't find the help file."), QStringLiteral("Error"),
    MessageBoxes::Icon::Critical, MessageBoxes::Buttons::Ok};
const ScriptedMessageBoxes::Box UpdaterFailedBox{
    QStringLiteral("Can't run the updates checker."), QStringLiteral("Error"),
    MessageBoxes::Icon::Critical, MessageBoxes::Buttons::Ok};

void writeFile(const QString& path, const QByteArray& content,
               QFileDevice::Permissions permissions = {}) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    if (permissions)
        QVERIFY(file.setPermissions(permissions));
}

const QFileDevice::Permissions Executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
} // namespace

class HelpMenuTest : public QObject {
    Q_OBJECT
private slots:
    void howToUse_data();
    void howToUse();
    void helpMessageFollowsTheLanguage();
    void checkUpdates_data();
    void checkUpdates();
    void updateCheckerReallyStarts();
    void menuEntriesRunTheirHandlers();
};

void HelpMenuTest::howToUse_data() {
    QTest::addColumn<QString>("languageFile");
    QTest::addColumn<QStringList>("helpFiles"); // present beside the program
    QTest::addColumn<bool>("desktopSucceeds");
    QTest::addColumn<QString>("opened"); // help file handed to the desktop, empty for none
    QTest::addColumn<bool>("message");
    const QString english = QStringLiteral("English") + HelpExtension;
    const QString deutsch = QStringLiteral("Deutsch") + HelpExtension;
    QTest::newRow("chosen pack's help, not English")
        << "Deutsch.ini" << QStringList{english, deutsch} << true << deutsch << false;
    QTest::newRow("default pack") << "English.ini" << QStringList{english} << true << english
                                  << false;
    QTest::newRow("no help for the chosen pack")
        << "Deutsch.ini" << QStringList{english} << true << QString() << true;
    QTest::newRow("desktop cannot open it")
        << "English.ini" << QStringList{english} << false << english << true;
    QTest::newRow("name shorter than the extension")
        << "ini" << QStringList{english, HelpExtension} << true << QString() << true;
    QTest::newRow("only the extension")
        << ".ini" << QStringList{english} << true << QString() << true;
}

void HelpMenuTest::howToUse() {
    QFETCH(QString, languageFile);
    QFETCH(QStringList, helpFiles);
    QFETCH(bool, desktopSucceeds);
    QFETCH(QString, opened);
    QFETCH(bool, message);
    MainFormHarness h;
    MainForm& form = h.start();
    for (const QString& name : helpFiles)
        writeFile(h.programDir.filePath(name), "<html></html>");
    Settings::current().languageFile = languageFile;
    RecordingLauncher desktop;
    desktop.openUrlSucceeds = desktopSucceeds;

    form.howToUseMenu_Click();

    const QList<QUrl> expectedUrls =
        opened.isEmpty() ? QList<QUrl>()
                         : QList<QUrl>{QUrl::fromLocalFile(h.programDir.filePath(opened))};
    QCOMPARE(desktop.openedUrls, expectedUrls);
    QCOMPARE(h.boxes.shown, message ? QList<ScriptedMessageBoxes::Box>{HelpMissingBox}
                                    : QList<ScriptedMessageBoxes::Box>());
    QVERIFY(desktop.startedPrograms.isEmpty());
}

void HelpMenuTest::helpMessageFollowsTheLanguage() {
    MainFormHarness h;
    MainForm& form = h.start();
    writeFile(h.programDir.filePath(QStringLiteral("Lang/Deutsch.ini")),
              "[Stillbeck Language Pack]\r\n019=Hilfedatei nicht gefunden.\r\n010=Fehler\r\n");
    Settings::current().languageFile = QStringLiteral("Deutsch.ini");
    RecordingLauncher desktop;

    form.howToUseMenu_Click();

    QCOMPARE(h.boxes.shown.size(), 1);
    QCOMPARE(h.boxes.shown[0].text, QStringLiteral("Hilfedatei nicht gefunden."));
    QCOMPARE(h.boxes.shown[0].title, QStringLiteral("Fehler"));
}

void HelpMenuTest::checkUpdates_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("desktopSucceeds");
    QTest::addColumn<bool>("attempted");
    QTest::addColumn<bool>("message");
    QTest::newRow("present and executable") << "executable" << true << true << false;
    QTest::newRow("start refused") << "executable" << false << true << true;
    QTest::newRow("missing") << "missing" << true << false << true;
    QTest::newRow("not executable") << "plain" << true << false << true;
    QTest::newRow("a folder of that name") << "folder" << true << false << true;
}

void HelpMenuTest::checkUpdates() {
    QFETCH(QString, kind);
    QFETCH(bool, desktopSucceeds);
    QFETCH(bool, attempted);
    QFETCH(bool, message);
    MainFormHarness h;
    MainForm& form = h.start();
    const QString path = h.programDir.filePath(UpdateChecker);
    if (kind == QLatin1String("executable"))
        writeFile(path, "#!/bin/sh\nexit 0\n", Executable);
    else if (kind == QLatin1String("plain"))
        writeFile(path, "#!/bin/sh\nexit 0\n", QFile::ReadOwner | QFile::WriteOwner);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir(h.programDir.path()).mkdir(UpdateChecker));
    RecordingLauncher desktop;
    desktop.startSucceeds = desktopSucceeds;

    form.checkUpdates_Click();

    QCOMPARE(desktop.startedPrograms, attempted ? QStringList{path} : QStringList());
    QCOMPARE(h.boxes.shown, message ? QList<ScriptedMessageBoxes::Box>{UpdaterFailedBox}
                                    : QList<ScriptedMessageBoxes::Box>());
    QVERIFY(desktop.openedUrls.isEmpty());
}

void HelpMenuTest::updateCheckerReallyStarts() {
    MainFormHarness h;
    MainForm& form = h.start();
    // The checker notes how many arguments it got and the folder it started in.
    const QString note = h.programDir.filePath(QStringLiteral("ran.txt"));
    writeFile(h.programDir.filePath(UpdateChecker),
              "#!/bin/sh\nprintf '%s\\n%s' \"$#\" \"$(pwd)\" > \"$0.tmp\" && mv \"$0.tmp\" \"" +
                  QFile::encodeName(note) + "\"\n",
              Executable);

    form.checkUpdates_Click();

    QVERIFY(h.boxes.shown.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(note), 10000);
    QFile file(note);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QByteArray("0"));
    QCOMPARE(QDir(QString::fromLocal8Bit(lines[1])).canonicalPath(),
             QDir::current().canonicalPath());
}

void HelpMenuTest::menuEntriesRunTheirHandlers() {
    MainFormHarness h;
    MainForm& form = h.start();
    writeFile(h.programDir.filePath(QStringLiteral("English") + HelpExtension), "<html></html>");
    writeFile(h.programDir.filePath(UpdateChecker), "#!/bin/sh\nexit 0\n", Executable);
    RecordingLauncher desktop;

    form.howToUseMenu->trigger();
    form.checkUpdates->trigger();
    QCOMPARE(desktop.openedUrls.size(), 1);
    QCOMPARE(desktop.startedPrograms.size(), 1);

    QString shownTitle;
    const ModalRun run = runModal([&] { form.aboutMenu->trigger(); },
                                  [&](QWidget& modal) {
                                      shownTitle = modal.windowTitle();
                                      if (auto* about = qobject_cast<AboutForm*>(&modal))
                                          QTest::mouseClick(about->cmdOK, Qt::LeftButton);
                                  });
    QVERIFY(run.shown);
    QVERIFY(!run.forcedClosed);
    QCOMPARE(shownTitle, QStringLiteral("About Stillbeck"));
    QVERIFY(h.boxes.shown.isEmpty());
}

QTEST_MAIN(HelpMenuTest)
#include "tst_helpmenu.moc"
