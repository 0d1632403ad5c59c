// The Tools menu's options command on the main window: the dialog, the rebuilt options and
// captions, and the reload of the open disc.
#include "MainFormHarness.h"

#include "player/EngineOptions.h"
#include "support/ModalRun.h"
#include "support/TestFiles.h"
#include "ui/OptionsDialog.h"
#include "ui/TimedSnapshotsDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {

// Runs the options command; script acts in the dialog once it is up. False when the dialog
// did not come up or had to be forced shut.
bool runOptions(MainForm& form, const std::function<void(OptionsDialog&)>& script) {
    bool acted = false;
    const ModalRun run = runModal([&] { form.optionsMenuCommand_Click(); },
                                  [&](QWidget& modal) {
                                      if (auto* dialog = qobject_cast<OptionsDialog*>(&modal)) {
                                          acted = true;
                                          script(*dialog);
                                      }
                                  });
    return acted && !run.forcedClosed;
}

void clickOk(OptionsDialog& dialog) {
    QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
}

} // namespace

class OptionsFlowTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        // The prefix check makes its test file in the current folder.
        currentDir = std::make_unique<QTemporaryDir>();
        previousCurrent = QDir::currentPath();
        QDir::setCurrent(currentDir->path());
    }

    void cleanup() {
        QDir::setCurrent(previousCurrent);
        currentDir.reset();
    }

    void createdHiddenAtStart() {
        MainFormHarness h;
        MainForm& f = h.start();
        OptionsDialog* dialog = f.optionsDialog();
        QVERIFY(dialog->isHidden());
        QCOMPARE(f.optionsDialog(), dialog);
        QCOMPARE(dialog->snapshotPath->text(), Settings::current().snapshotsPath);
    }

    void confirmWhilePlayingAndYesReloads() {
        MainFormHarness h;
        MainForm& f = h.start();
        h.openMovie();
        QVERIFY(probe(f).logoHide->isHidden());
        h.engine.calls.clear();
        h.sleeps.clear();
        h.boxes.answers = {MessageBoxes::Answer::Yes};
        const QString config = h.programDir.filePath(QStringLiteral("Config.cfg"));
        QByteArray savedBeforeQuestion;
        h.boxes.onShow = [&](const ScriptedMessageBoxes::Box&) {
            savedBeforeQuestion = readFile(config);
        };

        QVERIFY(runOptions(f, [](OptionsDialog& d) {
            d.snapshotPrefix->setText(QStringLiteral("SHOT"));
            d.imageFormats->setCurrentIndex(1);
            clickOk(d);
        }));

        const ScriptedMessageBoxes::Box question{
            QStringLiteral(
                "Some changes need the video to be reloaded. Do you want to reload the video?"),
            QStringLiteral("Warning"), MessageBoxes::Icon::Question, MessageBoxes::Buttons::YesNo};
        QCOMPARE(h.boxes.shown, QList<ScriptedMessageBoxes::Box>{question});
        QCOMPARE(savedBeforeQuestion.left(5), QByteArray(" 1 \r\n"));
        QCOMPARE(h.engine.calls,
                 (QStringList{"stop", "playlistClear", "playlistClear", "addTarget", "play"}));
        QCOMPARE(h.engine.lastTarget, QStringLiteral("D:"));
        const QStringList expected{QStringLiteral("snapshot-prefix=SHOT"),
                                   snapshotPathOption(Settings::current(), QStringLiteral("MOVIE")),
                                   QStringLiteral("snapshot-format=JPG"),
                                   QStringLiteral("snapshot-sequential"),
                                   QStringLiteral("no-snapshot-preview")};
        QCOMPARE(h.engine.lastOptions, expected);
        QCOMPARE(f.session().engineOptions(), expected);
        QCOMPARE(probe(f).timeElapsed->text(), QStringLiteral("LOADING..."));
        QVERIFY(!probe(f).logoHide->isHidden());
        QVERIFY(h.sleeps.contains(500));
    }

    void answeringNoReloadsNothing() {
        MainFormHarness h;
        MainForm& f = h.start();
        h.openMovie();
        h.boxes.answers = {MessageBoxes::Answer::Yes};
        QVERIFY(runOptions(f, clickOk));
        QCOMPARE(f.optionsDialog()->tag, QStringLiteral("Reload"));
        h.engine.loadTitle();
        h.tick();
        QVERIFY(probe(f).logoHide->isHidden());

        // Later, the same (kept) dialog confirmed again and No answered: the earlier result goes.
        h.engine.calls.clear();
        h.boxes.shown.clear();
        h.boxes.answers = {MessageBoxes::Answer::No};
        QVERIFY(runOptions(f, [](OptionsDialog& d) {
            d.snapshotPrefix->setText(QStringLiteral("NEXT"));
            clickOk(d);
        }));
        QCOMPARE(h.boxes.shown.size(), 1);
        QVERIFY(f.optionsDialog()->tag.isEmpty());
        QVERIFY(h.engine.calls.isEmpty());
        QVERIFY(h.engine.isPlaying);
        // The options are rebuilt all the same, ready for the next disc.
        QCOMPARE(f.session().engineOptions().value(0), QStringLiteral("snapshot-prefix=NEXT"));
    }

    void noQuestionWithoutDiscOrWhileCoverShown() {
        MainFormHarness h;
        MainForm& f = h.start();
        QVERIFY(runOptions(f, clickOk));
        QVERIFY(h.boxes.shown.isEmpty());

        h.openMovie();
        f.stopButton_Click();
        h.tick();
        QVERIFY(!probe(f).logoHide->isHidden());
        QCOMPARE(f.session().currentDrive(), QStringLiteral("D:"));
        h.engine.calls.clear();
        QVERIFY(runOptions(f, clickOk));
        QVERIFY(h.boxes.shown.isEmpty());
        QVERIFY(f.optionsDialog()->tag.isEmpty());
        QVERIFY(h.engine.calls.isEmpty());
    }

    void cancelKeepsSettingsAndRecreatesDialog() {
        MainFormHarness h;
        MainForm& f = h.start();
        h.openMovie();
        // A confirmation with a reload first, so that an old result could linger.
        h.boxes.answers = {MessageBoxes::Answer::Yes};
        QVERIFY(runOptions(f, clickOk));
        h.engine.loadTitle();
        h.tick();

        const QString config = h.programDir.filePath(QStringLiteral("Config.cfg"));
        const QByteArray savedBefore = readFile(config);
        // Changed in memory by the interval prompt after the dialog was made.
        Settings::current().snapshotInterval = 7000;
        const Settings before = Settings::current();
        QPointer<OptionsDialog> first = f.optionsDialog();
        h.engine.calls.clear();
        h.boxes.shown.clear();

        QVERIFY(runOptions(f, [](OptionsDialog& d) {
            d.snapshotPrefix->setText(QStringLiteral("GONE"));
            d.imageFormats->setCurrentIndex(1);
            QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        }));

        QVERIFY(Settings::current() == before);
        QCOMPARE(readFile(config), savedBefore);
        QVERIFY(h.boxes.shown.isEmpty());
        QVERIFY(h.engine.calls.isEmpty());
        QCOMPARE(f.session().engineOptions().value(0), QStringLiteral("snapshot-prefix=IMG_"));

        // A new dialog, made from the settings as they are now, with its captions.
        OptionsDialog* second = f.optionsDialog();
        QVERIFY(second != first.data());
        QVERIFY(second->isHidden());
        QVERIFY(second->tag.isEmpty());
        QCOMPARE(second->snapshotPrefix->text(), QStringLiteral("IMG_"));
        QCOMPARE(second->imageFormats->currentIndex(), 0);
        QCOMPARE(second->milliseconds->text(), QStringLiteral("7000"));
        QCOMPARE(second->OKButton->text(), QStringLiteral("&OK"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first);
        QCOMPARE(f.optionsDialog(), second);
    }

    void languageChangesEveryWindowAtOnce() {
        MainFormHarness h;
        QVERIFY(writeFile(h.programDir.filePath(QStringLiteral("Lang/English.ini")),
                          "[Stillbeck Language Pack]\r\n10=&File\r\n"));
        QVERIFY(writeFile(h.programDir.filePath(QStringLiteral("Lang/Deutsch.ini")),
                          "[Stillbeck Language Pack]\r\n03=&Ja\r\n10=&Datei\r\n70=Optionen\r\n"
                          "90=Serienbilder\r\n"));
        MainForm& f = h.start();
        QVERIFY(runOptions(f, [](OptionsDialog& d) {
            d.availableLanguages->setCurrentIndex(d.availableLanguages->findText("Deutsch"));
            clickOk(d);
        }));

        QVERIFY(readFile(h.programDir.filePath(QStringLiteral("Config.cfg")))
                    .endsWith("\r\nDeutsch.ini\r\n"));
        QCOMPARE(probe(f).fileMenu->title(), QStringLiteral("&Datei"));
        OptionsDialog* dialog = f.optionsDialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Optionen"));
        QCOMPARE(dialog->OKButton->text(), QStringLiteral("&Ja"));
        // Missing from the pack: the built-in text.
        QCOMPARE(dialog->millisecondsLabel->text(), QStringLiteral("milliseconds."));
        QCOMPARE(f.timedSnapshotsDialog()->windowTitle(), QStringLiteral("Serienbilder"));
        QCOMPARE(f.timedSnapshotsDialog()->OKButton->text(), QStringLiteral("&Ja"));
    }

private:
    QString previousCurrent;
    std::unique_ptr<QTemporaryDir> currentDir;
};

QTEST_MAIN(OptionsFlowTest)
#include "tst_optionsflow.moc"
