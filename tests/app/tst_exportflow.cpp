// Tools > Export Title on the real window with a scripted exporter: when the entry is on, the way
// through the dialog to the running export, what the user hears of its end, and closing the
// program while it runs.
#include "MainFormHarness.h"

#include "app/ExportFlow.h"
#include "support/ExportTitles.h"
#include "support/TestFiles.h"
#include "ui/GlyphButton.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

Q_DECLARE_METATYPE(ExportReport::Outcome)
Q_DECLARE_METATYPE(TitleList::Problem)

using Box = ScriptedMessageBoxes::Box;

namespace {
const QString kDevice = QStringLiteral("/dev/sr1");

QAction* entry(const MainForm& f) {
    return f.findChild<QAction*>(QStringLiteral("exportTitle"));
}

// "MOVIE" in drive D: (whose device is `device`) opened and playing.
void openMovie(MainFormHarness& h, const QString& device = kDevice) {
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"), device);
    h.form->fileMenu_Click();
    h.form->dvdsList_Click(0);
    h.engine.loadTitle();
    h.tick();
}

// The window with the movie playing, the disc's titles listed unless the test set others.
MainForm& playMovie(MainFormHarness& h, const QString& device = kDevice) {
    if (h.titles.titles.empty())
        h.titles.titles = exportTitles();
    MainForm& f = h.start();
    openMovie(h, device);
    return f;
}

QString movieFolder() {
    return Settings::current().snapshotsPath + QStringLiteral("/MOVIE Images");
}

// Chooses the entry and waits for the dialog the titles come in, or for the entry to be free
// again when they are told to be of no use.
ExportDialog* openDialog(MainForm& f) {
    f.exportFlow().exportTitle_Click();
    (void)QTest::qWaitFor([&] { return f.exportFlow().dialog() || entry(f)->isEnabled(); }, 5000);
    return f.exportFlow().dialog();
}

// Through the dialog, as it opened, into a running export.
bool startExport(MainForm& f) {
    ExportDialog* dialog = openDialog(f);
    if (dialog)
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    return f.exportFlow().running();
}

QString errorLog(const MainFormHarness& h) {
    return QString::fromLocal8Bit(readFile(h.programDir.filePath(QStringLiteral("errorlog.txt"))));
}
} // namespace

class TestExportFlow : public QObject {
    Q_OBJECT
private slots:
    // In the Tools menu above Options; on while a disc plays and no export is being set up or
    // running.
    void entryIsOnWhileADiscIsOpenAndNothingElseIsUnderWay() {
        MainFormHarness h;
        h.titles = exportTitleList();
        MainForm& f = h.start();
        QCOMPARE(probe(f).toolsMenu->actions().indexOf(entry(f)), 0);
        QVERIFY(!entry(f)->isEnabled());
        openMovie(h);
        QVERIFY(entry(f)->isEnabled());
        entry(f)->hover();
        QCOMPARE(probe(f).toolTips->text(), QStringLiteral("Saves a whole title as still images"));

        f.exportFlow().exportTitle_Click();
        QVERIFY(!entry(f)->isEnabled()); // reading the titles
        QTRY_VERIFY(f.exportFlow().dialog());
        f.exportFlow().dialog()->reject();
        QVERIFY(entry(f)->isEnabled());
        QVERIFY(startExport(f));
        QVERIFY(!entry(f)->isEnabled());
        h.exporter.finish(ExportReport{});
        QVERIFY(entry(f)->isEnabled());
        f.stopButton_Click();
        h.tick();
        QVERIFY(!entry(f)->isEnabled());
    }

    void exportRunsBesideThePlayer() {
        MainFormHarness h;
        MainForm& f = playMovie(h);
        Settings::current().imageFormat = 1;
        Settings::current().snapshotPrefix = QStringLiteral("CAP");
        ExportDialog* dialog = openDialog(f);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        dialog->titleList->setCurrentIndex(1);
        QTest::mouseClick(dialog->perShot, Qt::LeftButton);
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);

        QCOMPARE(h.exporter.started.size(), 1);
        const ExportRequest r = h.exporter.started[0];
        QCOMPARE((QStringList{r.medium, r.discLabel, r.folder, r.prefix}),
                 (QStringList{kDevice, "MOVIE", movieFolder(), "CAP"}));
        QVERIFY(QFileInfo(movieFolder()).isDir()); // made as for a snapshot
        QCOMPARE(r.format, SnapshotFormat::Jpg);
        QCOMPARE(r.title, 2);
        QCOMPARE(r.mode, ExportMode::PerShot);

        // Nothing modal: the player's controls stay on.
        ExportProgressWindow* progress = f.exportFlow().progressWindow();
        QVERIFY(progress && progress->isVisible() && !progress->isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(probe(f).snapshotButton->isEnabled());
        emit h.exporter.progressed(ExportProgress{0.5, 17, 61'000});
        QCOMPARE(progress->imagesWritten->text(), QStringLiteral("17"));
        QTest::mouseClick(progress->CancelButton, Qt::LeftButton);
        QCOMPARE(h.exporter.cancels, 1);

        // The window follows a change of language while it is open.
        QVERIFY(writeFile(h.programDir.filePath(QStringLiteral("Lang/Deutsch.ini")),
                          readFile(QStringLiteral(STILLBECK_DATA_DIR "/Lang/Deutsch.ini"))));
        Settings::current().languageFile = QStringLiteral("Deutsch.ini");
        f.ApplyCaptions();
        QCOMPARE(progress->windowTitle(), QStringLiteral("Titel 2 wird exportiert"));
        QCOMPARE(progress->stateLabel->text(), QStringLiteral("Wird angehalten..."));
        Settings::current().languageFile = QStringLiteral("English.ini");

        h.exporter.finish(ExportReport{ExportReport::Outcome::Cancelled, 18, 0, r.folder, {}, {}});
        QVERIFY(!f.exportFlow().progressWindow());
        QCOMPARE(h.boxes.notices.size(), 1);
        ExportDialog* again = openDialog(f); // starting from the last choices
        QVERIFY(again && again->perShot->isChecked());
    }

    void endsAreTold_data() {
        QTest::addColumn<ExportReport::Outcome>("outcome");
        QTest::addColumn<QList<quint64>>("imagesAndSkipped");
        QTest::addColumn<QString>("text"); // {folder}: the disc's images folder
        QTest::addColumn<QString>("logged");
        using O = ExportReport::Outcome;
        const QString space = QStringLiteral("No space left on device");
        // clang-format off
        QTest::newRow("done") << O::Done << QList<quint64>{300, 0} << "The export is finished.\nImages written: 300\n{folder}" << "";
        QTest::newRow("done, sectors left out") << O::Done << QList<quint64>{300, 7} << "The export is finished.\nImages written: 300\nUnreadable sectors skipped: 7\n{folder}" << "";
        QTest::newRow("nothing written: no folder to look in") << O::Done << QList<quint64>{0, 0} << "The export is finished.\nImages written: 0" << "";
        QTest::newRow("stopped") << O::Cancelled << QList<quint64>{40, 0} << "The export was stopped.\nImages written: 40\n{folder}" << "";
        QTest::newRow("write failed, as for captures") << O::WriteFailed << QList<quint64>{0, 0} << "The images could not be saved in this folder:\n{folder}\n" + space << "Error Description: " + space + ", Folder: {folder}, Method: exportTitle_Click";
        QTest::newRow("unreadable") << O::Unreadable << QList<quint64>{0, 0} << "The disc's title tables could not be read." << "Error Description: bad table, Medium: " + kDevice + ", Method: exportTitle_Click";
        QTest::newRow("encrypted") << O::Encrypted << QList<quint64>{0, 0} << "This title is encrypted and no library to decrypt it is installed, so it cannot be exported." << "Error Description: bad table, Medium: " + kDevice;
        // clang-format on
    }
    void endsAreTold() {
        QFETCH(ExportReport::Outcome, outcome);
        QFETCH(QList<quint64>, imagesAndSkipped);
        QFETCH(QString, text);
        QFETCH(QString, logged);
        MainFormHarness h;
        MainForm& f = playMovie(h);
        QVERIFY(startExport(f));
        // A report without its folder: the request's is told.
        h.exporter.finish(ExportReport{outcome,
                                       imagesAndSkipped[0],
                                       imagesAndSkipped[1],
                                       {},
                                       QStringLiteral("No space left on device"),
                                       QStringLiteral("bad table")});
        const bool failed = outcome >= ExportReport::Outcome::WriteFailed;
        // The report names the folder as a file manager shows it; a failure as captures do.
        text.replace(QStringLiteral("{folder}"),
                     failed ? movieFolder() : QDir::cleanPath(movieFolder()));
        logged.replace(QStringLiteral("{folder}"), movieFolder());
        QCOMPARE(h.boxes.notices, (QList<Box>{{text, failed ? "Error" : "Export Title",
                                               failed ? MessageBoxes::Icon::Critical
                                                      : MessageBoxes::Icon::Information,
                                               MessageBoxes::Buttons::Ok}}));
        QVERIFY(h.boxes.shown.isEmpty()); // nothing waits for the user
        QVERIFY2(logged.isEmpty() ? !errorLog(h).contains(u"exportTitle")
                                  : errorLog(h).contains(logged),
                 qPrintable(errorLog(h)));
        QVERIFY(!f.exportFlow().progressWindow());
    }

    // Instead of the dialog, why nothing can be exported; also when the folder cannot be made.
    void problemsBeforeTheStartAreTold_data() {
        QTest::addColumn<TitleList::Problem>("problem");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("snapshots");
        QTest::addColumn<QString>("text");
        using P = TitleList::Problem;
        const QString unreadable = QStringLiteral("The disc's title tables could not be read.");
        // clang-format off
        QTest::newRow("unreadable") << P::Unreadable << kDevice << "" << unreadable;
        QTest::newRow("encrypted") << P::Encrypted << kDevice << "" << "This title is encrypted and no library to decrypt it is installed, so it cannot be exported.";
        QTest::newRow("a drive whose device is not known") << P::None << "" << "" << unreadable;
        QTest::newRow("folder that cannot be made") << P::None << kDevice << "/gone" << "The images could not be saved in this folder:\n{folder}\nThe folder does not exist and cannot be created.";
        // clang-format on
    }
    void problemsBeforeTheStartAreTold() {
        QFETCH(TitleList::Problem, problem);
        QFETCH(QString, device);
        QFETCH(QString, snapshots);
        QFETCH(QString, text);
        MainFormHarness h;
        h.titles = exportTitleList();
        h.titles.problem = problem;
        MainForm& f = playMovie(h, device);
        if (!snapshots.isEmpty())
            Settings::current().snapshotsPath = h.programDir.path() + snapshots;
        if (ExportDialog* dialog = openDialog(f))
            QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        QTRY_COMPARE(h.boxes.notices.size(), 1);
        text.replace(QStringLiteral("{folder}"), movieFolder());
        QCOMPARE(h.boxes.notices[0],
                 (Box{text, QStringLiteral("Error"), MessageBoxes::Icon::Critical,
                      MessageBoxes::Buttons::Ok}));
        QVERIFY(h.exporter.started.isEmpty());
        QTRY_VERIFY(entry(f)->isEnabled());
    }

    void closingWhileExporting_data() {
        QTest::addColumn<bool>("exporting");
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<bool>("yes");
        QTest::newRow("no export: no question") << false << false << false;
        QTest::newRow("close, No: the export goes on") << true << false << false;
        QTest::newRow("close, Yes: stopped and closed") << true << false << true;
        QTest::newRow("Exit, Yes: stopped and closed") << true << true << true;
    }
    void closingWhileExporting() {
        QFETCH(bool, exporting);
        QFETCH(bool, fromMenu);
        QFETCH(bool, yes);
        MainFormHarness h;
        MainForm& f = playMovie(h);
        if (exporting)
            QVERIFY(startExport(f));
        const QPointer<ExportProgressWindow> progress = f.exportFlow().progressWindow();
        h.boxes.answers = {yes ? MessageBoxes::Answer::Yes : MessageBoxes::Answer::No};
        const bool ends = !exporting || yes;
        if (fromMenu)
            f.exitCommand_Click();
        else
            QCOMPARE(f.close(), ends);

        const Box question{QStringLiteral("An export is running. Stop it and quit?"),
                           QStringLiteral("Stillbeck"), MessageBoxes::Icon::Warning,
                           MessageBoxes::Buttons::YesNo};
        QCOMPARE(h.boxes.shown, exporting ? QList<Box>{question} : QList<Box>{});
        QCOMPARE(h.endProcessCalls, ends ? 1 : 0);
        QCOMPARE(h.exporter.cancels, exporting && yes ? 1 : 0);
        if (!exporting)
            return;
        QCOMPARE(progress->isVisible(), !yes);
        // The end of an export stopped for the program to close is not told.
        h.exporter.finish(ExportReport{});
        QCOMPARE(h.boxes.notices.size(), yes ? 0 : 1);
    }
};

QTEST_MAIN(TestExportFlow)
#include "tst_exportflow.moc"
