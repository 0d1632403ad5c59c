// An installed copy: the program folder cannot be written, so the settings and the logs live in
// the user's configuration folder while packs are still read from the program folder.
//
// Root may write anywhere, so when started as root this test runs itself again as "nobody".
#include "MainFormHarness.h"

#include "platform/ErrorLog.h"
#include "platform/ProgramFolder.h"
#include "settings/SettingsFile.h"
#include "support/TestFiles.h"
#include "ui/OptionsDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {
constexpr auto UnprivilegedMark = "STILLBECK_TEST_UNPRIVILEGED";
const QStringList WrittenFiles = {QStringLiteral("Config.cfg"), QStringLiteral("errorlog.txt"),
                                  QStringLiteral("logerror.txt")};
} // namespace

class ReadOnlyProgramFolderTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Stillbeck")); }

    void settingsAndLogsLiveInTheUserFolder() {
        QTemporaryDir configHome;
        QVERIFY(configHome.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
        const QString userFolder = configHome.filePath(QStringLiteral("Stillbeck"));
        QTemporaryDir workDir; // the prefix check creates its probe in the current folder
        QVERIFY(QDir::setCurrent(workDir.path()));

        MainFormHarness h(false);
        const QString program = h.programDir.path();
        QVERIFY(writeFile(program + QStringLiteral("/Lang/English.ini"),
                          "[Stillbeck Language Pack]\r\n10=&Datei\r\n"));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner |
                                                   QFile::ReadOther | QFile::ExeOther));
        if (QFileInfo(program).isWritable())
            QSKIP("this user may write into a read-only folder");

        h.lock.reset(); // the single-instance lock is not what this is about
        // First start: no settings anywhere yet, so they are created, in the user's folder.
        MainForm& first = h.start();
        QCOMPARE(h.boxes.shown.size(), 1);
        QVERIFY(QFile::exists(userFolder + QStringLiteral("/Config.cfg")));
        // The pack is read from the program folder.
        QCOMPARE(probe(first).fileMenu->title(), QStringLiteral("&Datei"));

        // Options confirmed: saved per user.
        OptionsDialog* options = first.optionsDialog();
        options->snapshotPrefix->setText(QStringLiteral("RO_"));
        options->OKButton_Click();
        QCOMPARE(h.boxes.shown.size(), 1);
        WriteErrorLog(QStringLiteral("probe"));

        // Next start: the saved settings are read back and nothing is reported.
        h.form.reset();
        h.boxes.shown.clear();
        Settings::current() = Settings();
        MainForm& second = h.start();
        QCOMPARE(h.boxes.shown.size(), 0);
        QCOMPARE(Settings::current().snapshotPrefix, QStringLiteral("RO_"));
        QCOMPARE(second.session().engineOptions().value(0), QStringLiteral("snapshot-prefix=RO_"));

        for (const QString& name : WrittenFiles) {
            QVERIFY2(QFile::exists(userFolder + u'/' + name), qPrintable(name));
            QVERIFY2(!QFile::exists(program + u'/' + name), qPrintable(name));
        }
        QVERIFY(
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qunsetenv("XDG_CONFIG_HOME");
    }
};

namespace {

// Runs this test program as "nobody" from a copy that user can reach; returns its exit code.
int runAsNobody(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const passwd* nobody = getpwnam("nobody");
    if (!nobody) {
        qWarning("no user \"nobody\" to run as");
        return 1;
    }
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    QTemporaryDir copyDir;
    const QString copy = copyDir.filePath(QStringLiteral("tst_readonlyprogramfolder"));
    if (!QFile::copy(QCoreApplication::applicationFilePath(), copy) ||
        !QFile::setPermissions(copyDir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ExeOwner | QFile::ReadOther |
                                                   QFile::ExeOther)) {
        qWarning("cannot copy the test program");
        return 1;
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(UnprivilegedMark), QStringLiteral("1"));
    env.insert(QStringLiteral("HOME"), QDir::tempPath());
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(QDir::tempPath());
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.setChildProcessModifier([uid, gid] {
        if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
            _exit(125);
    });
    child.start(copy, QCoreApplication::arguments().mid(1));
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit) {
        qWarning("the test program did not run as nobody");
        return 1;
    }
    if (child.exitCode() == 125)
        qWarning("could not switch to the user \"nobody\"");
    return child.exitCode();
}

} // namespace

int main(int argc, char** argv) {
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty(UnprivilegedMark))
        return runAsNobody(argc, argv);
    QApplication app(argc, argv);
    ReadOnlyProgramFolderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_readonlyprogramfolder.moc"
