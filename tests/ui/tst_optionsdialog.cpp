// The options dialog on its own: loading, the checks of OK, saving, the reload question, browse
// and the dialog's life cycle.
#include "ui/OptionsDialog.h"

#include "controls/folder_picker/FolderBrowse.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "support/ModalRun.h"
#include "support/Sandbox.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <sys/mount.h>

using Box = ScriptedMessageBoxes::Box;

namespace {
const QString IntervalInvalid =
    QStringLiteral("Please enter a valid numeric time ranging from 1000 - 60000.");
const QString PrefixTooLong = QStringLiteral("Prefix should not be greater than 4 characters.");
const QString PrefixInvalid = QStringLiteral("Please enter a valid snapshot prefix.");

Box errorBox(const QString& text) {
    return {text, QStringLiteral("Error"), MessageBoxes::Icon::Critical, MessageBoxes::Buttons::Ok};
}
} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        programDir = std::make_unique<QTemporaryDir>();
        currentDir = std::make_unique<QTemporaryDir>();
        platform::setProgramFolder(programDir->path());
        // The prefix check makes its test file in the current folder.
        previousCurrent = QDir::currentPath();
        QDir::setCurrent(currentDir->path());
        Settings::current() = Settings::defaults();
        Settings::current().snapshotsPath = QStringLiteral("/srv/shots/");
        boxes = ScriptedMessageBoxes();
        drive.clear();
        coverShown = true;
        modBrowse::setBrowseDialogHook([](const modBrowse::BrowseInfo&) {
            qWarning("a real folder dialog was asked for");
            return QString();
        });
    }

    void cleanup() {
        for (const QPointer<OptionsDialog>& dialog : dialogs)
            delete dialog.data();
        dialogs.clear();
        modBrowse::setBrowseDialogHook({});
        QDir::setCurrent(previousCurrent);
        platform::setProgramFolder(QString());
        currentDir.reset();
        programDir.reset();
    }

    void loadFillsControlsFromSettings() {
        Settings& s = Settings::current();
        s.imageFormat = 7; // any format but 0 means JPG
        s.snapshotsPath = QStringLiteral("/srv/a, \"b\"/");
        s.snapshotPrefix = QStringLiteral("TOOLONG"); // edited by hand: shown as it is
        s.hideIntervalPrompt = 2;                     // anything but 0 skips the prompt
        s.snapshotInterval = 500;
        OptionsDialog* dialog = makeDialog();
        QCOMPARE(dialog->imageFormats->currentIndex(), 1);
        QCOMPARE(dialog->snapshotPath->text(), s.snapshotsPath);
        QVERIFY(dialog->snapshotPath->isReadOnly()); // changed through Browse only
        QCOMPARE(dialog->snapshotPrefix->text(), QStringLiteral("TOOLONG"));
        QVERIFY(dialog->inputBoxCheck->isChecked());
        QCOMPARE(dialog->milliseconds->text(), QStringLiteral("500"));
        QVERIFY(dialog->tag.isEmpty());

        // The interval can be edited only while the prompt is skipped.
        const QList<QWidget*> interval{dialog->valueTitle, dialog->milliseconds,
                                       dialog->millisecondsLabel};
        for (QWidget* w : interval)
            QVERIFY(w->isEnabled());
        dialog->inputBoxCheck->click();
        for (QWidget* w : interval)
            QVERIFY(!w->isEnabled());
        s.hideIntervalPrompt = 0;
        QVERIFY(!makeDialog()->milliseconds->isEnabled());
    }

    void languageList_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("languageFile");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("afterLoad");
        QTest::addColumn<QString>("afterOk");
        const QStringList three{"Francais.ini", "English.ini", "Deutsch.ini"};
        QTest::newRow("current pack selected")
            << three << "Francais.ini" << QStringList{"Deutsch", "English", "Francais"} << 2
            << "Francais.ini"
            << "Francais.ini";
        // Also: sorted without regard to case, and only names ending in exactly ".ini".
        QTest::newRow("letter case differs: English")
            << QStringList{"Francais.ini", "English.ini", "deutsch.ini", "notes.txt", "Espanol.INI"}
            << "english.ini" << QStringList{"deutsch", "English", "Francais"} << 1 << "English.ini"
            << "English.ini";
        QTest::newRow("missing pack, no English: first")
            << QStringList{"Francais.ini", "Deutsch.ini"} << "Klingon.ini"
            << QStringList{"Deutsch", "Francais"} << 0 << "English.ini"
            << "Deutsch.ini";
        QTest::newRow("no packs: OK keeps the language")
            << QStringList{} << "Deutsch.ini" << QStringList{} << -1 << "English.ini"
            << "English.ini";
    }
    void languageList() {
        QFETCH(QStringList, files);
        QFETCH(QString, languageFile);
        QFETCH(QStringList, entries);
        QFETCH(int, selected);
        QFETCH(QString, afterLoad);
        QFETCH(QString, afterOk);
        for (const QString& name : files)
            QVERIFY(
                writeFile(programDir->filePath("Lang/" + name), "[Stillbeck Language Pack]\r\n"));
        QVERIFY(QDir(programDir->path()).mkpath(QStringLiteral("Lang/Folder.ini")));
        Settings::current().languageFile = languageFile;
        OptionsDialog* dialog = makeDialog();
        QStringList shown;
        for (int i = 0; i < dialog->availableLanguages->count(); ++i)
            shown.append(dialog->availableLanguages->itemText(i));
        QCOMPARE(shown, entries);
        QCOMPARE(dialog->availableLanguages->currentIndex(), selected);
        QCOMPARE(Settings::current().languageFile, afterLoad);

        dialog->OKButton_Click();
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(Settings::current().languageFile, afterOk);
        QVERIFY(readFile(configPath()).endsWith("\r\n" + afterOk.toLatin1() + "\r\n"));
    }

    void okChecks_data() {
        QTest::addColumn<bool>("promptSkipped");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<int>("stored");
        const auto row = [](const char* name, bool skipped, const QString& interval,
                            const QString& prefix, const QString& message, int stored = 0) {
            QTest::newRow(name) << skipped << interval << prefix << message << stored;
        };
        // The interval is checked first, even while its field is disabled.
        row("500, field disabled", false, "500", "TOOLONG", IntervalInvalid);
        row("interval rounded half to even", true, "1501.5", "IMG_", "", 1502);
        row("prefix with a blank inside", false, "60000", "a b", "", 60000);
        row("prefix of five", false, "5000", "IMAGE", PrefixTooLong);
        row("five, also unusable: length first", false, "5000", "A*B?C", PrefixTooLong);
        row("empty prefix", false, "5000", "", PrefixInvalid);
        row("star", false, "5000", "*", PrefixInvalid);
        row("question mark", false, "5000", "?", PrefixInvalid);
        row("control character", false, "5000", "\t", PrefixInvalid);
        row("names a folder", false, "5000", "..", PrefixInvalid);
    }
    void okChecks() {
        QFETCH(bool, promptSkipped);
        QFETCH(QString, interval);
        QFETCH(QString, prefix);
        QFETCH(QString, message);
        QFETCH(int, stored);
        Settings::current().hideIntervalPrompt = promptSkipped ? 1 : 0;
        const Settings before = Settings::current();
        OptionsDialog* dialog = makeDialog();
        dialog->show();
        dialog->milliseconds->setText(interval);
        dialog->snapshotPrefix->setText(prefix);
        dialog->OKButton_Click();
        // The file test leaves nothing behind in the current folder.
        QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
        if (message.isEmpty()) {
            QVERIFY(boxes.shown.isEmpty());
            QVERIFY(!dialog->isVisible());
            QCOMPARE(Settings::current().snapshotPrefix, prefix);
            QCOMPARE(Settings::current().snapshotInterval, stored);
            return;
        }
        QCOMPARE(boxes.shown, QList<Box>{errorBox(message)});
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->milliseconds->text(), interval);
        QCOMPARE(dialog->snapshotPrefix->text(), prefix);
        QVERIFY(Settings::current() == before);
        QVERIFY(!QFile::exists(configPath()));
    }

    void prefixNamingExistingFileIsAcceptedAndKept_data() {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("regular file") << false;
        QTest::newRow("FIFO, never opened") << true;
    }
    void prefixNamingExistingFileIsAcceptedAndKept() {
        QFETCH(bool, fifo);
        const QByteArray path = QFile::encodeName(QDir::current().filePath(QStringLiteral("SHOT")));
        if (fifo)
            QVERIFY(::mkfifo(path.constData(), 0600) == 0);
        else
            QVERIFY(writeFile(QString::fromLocal8Bit(path), "keep me"));
        // Opening the FIFO would wait for the other end for ever: a check that has not returned
        // after half a minute is stuck there, and is then released so the test can fail.
        std::atomic<bool> done = false;
        std::atomic<bool> stuck = false;
        std::thread watchdog([&] {
            for (int i = 0; i < 600 && !done; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (done || !fifo)
                return;
            stuck = true;
            for (int flags : {O_RDONLY | O_NONBLOCK, O_WRONLY | O_NONBLOCK}) {
                const int fd = ::open(path.constData(), flags);
                if (fd >= 0)
                    ::close(fd);
            }
        });
        OptionsDialog* dialog = makeDialog();
        dialog->snapshotPrefix->setText(QStringLiteral("SHOT"));
        dialog->OKButton_Click();
        done = true;
        watchdog.join();
        QVERIFY(!stuck);
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(Settings::current().snapshotPrefix, QStringLiteral("SHOT"));
        if (!fifo)
            QCOMPARE(readFile(QString::fromLocal8Bit(path)), QByteArray("keep me"));
        QFile::remove(QString::fromLocal8Bit(path));
    }

    void saveFailureIsReportedAndChangesNothing() {
        QVERIFY(QDir().mkpath(configPath() + QStringLiteral("/inside")));
        const Settings before = Settings::current();
        OptionsDialog* dialog = makeDialog();
        dialog->show();
        dialog->snapshotPrefix->setText(QStringLiteral("SHOT"));
        dialog->OKButton_Click();
        QCOMPARE(boxes.shown, QList<Box>{errorBox(QStringLiteral("The settings could not be saved "
                                                                 "to:\n\n") +
                                                  QDir::toNativeSeparators(configPath()))});
        QVERIFY(dialog->isVisible());
        QVERIFY(Settings::current() == before);
        QVERIFY(QDir(configPath()).removeRecursively());
    }

    void unwritableCurrentFolderStillAcceptsGoodPrefix() {
        const QString readOnly = currentDir->filePath(QStringLiteral("read-only"));
        QVERIFY(QDir().mkdir(readOnly));
        QVERIFY2(sandbox::makeReadOnly(readOnly), "no way to make a folder read-only here");
        QDir::setCurrent(readOnly);
        OptionsDialog* dialog = makeDialog();
        dialog->snapshotPrefix->setText(QStringLiteral("IMG_"));
        dialog->OKButton_Click();
        QDir::setCurrent(currentDir->path());
        // Lift the mount (or the mode) so that the temporary folder can be removed.
        ::umount2(QFile::encodeName(readOnly).constData(), MNT_DETACH);
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(Settings::current().snapshotPrefix, QStringLiteral("IMG_"));
    }

    void okCopiesControlsAndWritesFile() {
        for (const char* name : {"Lang/Deutsch.ini", "Lang/English.ini"})
            QVERIFY(writeFile(programDir->filePath(name), "[Stillbeck Language Pack]\r\n"));
        OptionsDialog* dialog = makeDialog();
        dialog->show();
        dialog->availableLanguages->setCurrentIndex(0);
        dialog->imageFormats->setCurrentIndex(1);
        dialog->snapshotPath->setText(QStringLiteral("/media/shots, \"best\""));
        dialog->snapshotPrefix->setText(QStringLiteral("SHOT"));
        dialog->inputBoxCheck->setChecked(true);
        dialog->milliseconds->setText(QStringLiteral("2500"));
        dialog->OKButton_Click();

        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(readFile(configPath()), QByteArray(" 1 \r\n/media/shots, \"best\"\r\nSHOT\r\n"
                                                    " 1 \r\n 2500 \r\nDeutsch.ini\r\n"));
        // What was written reads back as the settings now in use.
        Settings readBack;
        QVERIFY(SettingsFile::read(configPath(), readBack));
        QVERIFY(readBack == Settings::current());
    }

    void failedSaveKeepsDialogOpen() {
        QVERIFY(QDir(programDir->path()).mkdir(QStringLiteral("Config.cfg")));
        const Settings before = Settings::current();
        OptionsDialog* dialog = makeDialog();
        dialog->show();
        dialog->snapshotPath->setText(QStringLiteral("/srv/new/"));
        drive = QStringLiteral("D:"); // a reload would be offered after a save
        coverShown = false;
        dialog->OKButton_Click();
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(boxes.shown[0].text.contains(QStringLiteral("Config.cfg")));
        QCOMPARE(boxes.shown[0].icon, MessageBoxes::Icon::Critical);
        QVERIFY(dialog->isVisible());
        QVERIFY(Settings::current() == before);
    }

    void browse() {
        OptionsDialog* dialog = makeDialog();
        dialog->show();
        QString picked; // empty: cancelled
        QList<modBrowse::BrowseInfo> requests;
        bool disabledMeanwhile = false;
        modBrowse::setBrowseDialogHook([&](const modBrowse::BrowseInfo& info) {
            requests.append(info);
            disabledMeanwhile = !dialog->isEnabled();
            return picked;
        });
        QTest::mouseClick(dialog->snapshotsBrowse, Qt::LeftButton);
        QCOMPARE(requests[0].initialFolder, QStringLiteral("/srv/shots/")); // opens there
        QCOMPARE(dialog->snapshotPath->text(), QStringLiteral("/srv/shots/"));
        QVERIFY(dialog->isEnabled());

        picked = QStringLiteral("/media/pictures");
        QTest::mouseClick(dialog->snapshotsBrowse, Qt::LeftButton);
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests[1].owner, dialog);
        QVERIFY(disabledMeanwhile);
        QVERIFY(dialog->isEnabled());
        QCOMPARE(dialog->snapshotPath->text(), QStringLiteral("/media/pictures"));
    }

    void okHidesAndKeepsControls() {
        OptionsDialog* dialog = makeDialog();
        QRect shownAt;
        bool modal = false;
        QVERIFY(runDialog(*dialog, [&] {
            shownAt = dialog->geometry();
            modal = QApplication::activeModalWidget() == dialog;
            dialog->snapshotPrefix->setFocus();
            dialog->snapshotPrefix->setText(QStringLiteral("ONE"));
            QTest::keyClick(dialog->snapshotPrefix, Qt::Key_Return); // Enter presses OK
        }));
        QVERIFY(modal);
        // Placed, not centred.
        const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft();
        QCOMPARE(shownAt, QRect(origin + QPoint(184, 250), QSize(402, 280)));
        QVERIFY(!dialog->isUnloaded());
        QCOMPARE(Settings::current().snapshotPrefix, QStringLiteral("ONE"));

        // Settings changed elsewhere meanwhile are not shown, and a later OK writes over them.
        Settings::current().snapshotInterval = 9000;
        Settings::current().hideIntervalPrompt = 1;
        QString shownInterval;
        QVERIFY(runDialog(*dialog, [&] {
            shownInterval = dialog->milliseconds->text();
            QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        }));
        QCOMPARE(shownInterval, QStringLiteral("5000"));
        QCOMPARE(Settings::current().snapshotInterval, 5000);
        QCOMPARE(Settings::current().hideIntervalPrompt, quint8(0));
    }

    void cancelUnloads_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel button") << "button";
        QTest::newRow("Esc") << "escape";
        QTest::newRow("close control") << "close";
    }
    void cancelUnloads() {
        QFETCH(QString, how);
        const Settings before = Settings::current();
        QPointer<OptionsDialog> dialog = makeDialog();
        QVERIFY(runDialog(*dialog, [&] {
            dialog->snapshotPrefix->setText(QStringLiteral("NEW"));
            dialog->inputBoxCheck->setChecked(true);
            if (how == "button")
                QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
            else if (how == "escape")
                QTest::keyClick(dialog->snapshotPrefix, Qt::Key_Escape);
            else
                dialog->windowHandle()->close();
        }));
        QVERIFY(dialog);
        QVERIFY(dialog->isUnloaded());
        QVERIFY(!dialog->isVisible());
        QVERIFY(dialog->tag.isEmpty());
        QVERIFY(boxes.shown.isEmpty());
        QVERIFY(Settings::current() == before);
        QVERIFY(!QFile::exists(configPath()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog);
    }

private:
    OptionsDialog* makeDialog() {
        OptionsDialogHost host;
        host.currentDrive = [this] { return drive; };
        host.logoHideVisible = [this] { return coverShown; };
        auto* dialog = new OptionsDialog(boxes, host);
        dialogs.append(dialog);
        return dialog;
    }

    QString configPath() const { return programDir->filePath(QStringLiteral("Config.cfg")); }
    // Shows the dialog modally and runs script in it once it is active; false when it did not come
    // up or was left open (it is then closed after a few seconds).
    static bool runDialog(OptionsDialog& dialog, const std::function<void()>& script) {
        const ModalRun run = runModal([&] { dialog.showModal(); }, [&](QWidget&) { script(); });
        return run.shown && !run.forcedClosed;
    }

    std::unique_ptr<QTemporaryDir> programDir;
    std::unique_ptr<QTemporaryDir> currentDir;
    QString previousCurrent;
    ScriptedMessageBoxes boxes;
    QString drive;
    bool coverShown = true;
    QList<QPointer<OptionsDialog>> dialogs;
};

QTEST_MAIN(OptionsDialogTest)
#include "tst_optionsdialog.moc"
