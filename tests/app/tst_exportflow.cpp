// Tools > Export Title on the real window with a scripted exporter: when the entry is on, the
// way from the entry through the dialog to the running export, what the user hears of its end,
// and closing the program while it runs.
#include "MainFormHarness.h"

#include "app/ExportFlow.h"
#include "support/ExportTitles.h"
#include "support/TestFiles.h"
#include "ui/ExportDialog.h"
#include "ui/ExportProgressWindow.h"
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

QAction* exportEntry(const MainForm& form) {
    return form.findChild<QAction*>(QStringLiteral("exportTitle"));
}

// "MOVIE" in drive D:, whose device is kDevice, playing.
void playMovie(MainFormHarness& h, const QString& device = kDevice) {
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"), device);
    h.form->fileMenu_Click();
    h.form->dvdsList_Click(0);
    h.engine.loadTitle();
    h.tick();
}

QString movieFolder() {
    return Settings::current().snapshotsPath + QStringLiteral("/MOVIE Images");
}

// Chooses the entry and waits for the dialog the titles come in.
ExportDialog* openDialog(MainFormHarness& h) {
    ExportFlow& flow = h.form->exportFlow();
    flow.exportTitle_Click();
    if (!QTest::qWaitFor([&] { return flow.dialog() != nullptr; }, 5000))
        return nullptr;
    return flow.dialog();
}

// Through the dialog, as it opened, into a running export.
bool startExport(MainFormHarness& h) {
    ExportDialog* dialog = openDialog(h);
    if (!dialog)
        return false;
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    return h.form->exportFlow().running();
}

QString errorLog(const MainFormHarness& h) {
    return QString::fromLocal8Bit(readFile(h.programDir.filePath(QStringLiteral("errorlog.txt"))));
}

} // namespace

class TestExportFlow : public QObject {
    Q_OBJECT
private slots:
    void entryIsOnWhileADiscIsOpenAndNothingElseIsUnderWay();
    void exportRunsBesideThePlayer_data();
    void exportRunsBesideThePlayer();
    void endsAreTold_data();
    void endsAreTold();
    void titleListsWithoutATitleAreToldInsteadOfTheDialog_data();
    void titleListsWithoutATitleAreToldInsteadOfTheDialog();
    void unusableFolderIsToldAndNothingStarts();
    void mediumOfWhatIsOpen_data();
    void mediumOfWhatIsOpen();
    void closingWhileExporting_data();
    void closingWhileExporting();
    void runningExportFollowsTheLanguage();
};

void TestExportFlow::entryIsOnWhileADiscIsOpenAndNothingElseIsUnderWay() {
    MainFormHarness h;
    h.titles.set(exportTitleList());
    MainForm& f = h.start();
    QAction* entry = exportEntry(f);
    QVERIFY(entry);
    // In the Tools menu, above Options and parted from it.
    const QList<QAction*> tools = probe(f).toolsMenu->actions();
    QCOMPARE(tools.indexOf(entry), 0);
    QVERIFY(tools.value(1)->isSeparator());
    QCOMPARE(tools.value(2), probe(f).optionsMenuCommand);
    QCOMPARE(entry->text(), QStringLiteral("Export &Title..."));
    QVERIFY(!entry->isEnabled());

    h.engine.startsPlaying = false;
    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"), kDevice);
    f.fileMenu_Click();
    f.dvdsList_Click(0);
    h.tick();
    QVERIFY(!entry->isEnabled()); // loading
    h.engine.loadTitle();
    h.tick();
    QVERIFY(entry->isEnabled());

    // The hint line names it.
    entry->hover();
    QCOMPARE(probe(f).toolTips->text(), QStringLiteral("Saves a whole title as still images"));

    // Off while the titles are read and the dialog is open, and while the export runs.
    f.exportFlow().exportTitle_Click();
    QVERIFY(!entry->isEnabled());
    QTRY_VERIFY(f.exportFlow().dialog());
    QVERIFY(!entry->isEnabled());
    f.exportFlow().dialog()->reject();
    QVERIFY(entry->isEnabled());
    QVERIFY(h.exporter.started.isEmpty());
    QVERIFY(startExport(h));
    QVERIFY(!entry->isEnabled());
    h.exporter.finish(ExportReport{});
    QVERIFY(entry->isEnabled());

    f.stopButton_Click();
    h.tick();
    QVERIFY(!entry->isEnabled());
}

void TestExportFlow::exportRunsBesideThePlayer_data() {
    QTest::addColumn<int>("imageFormat");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<SnapshotFormat>("format");
    QTest::newRow("PNG") << 0 << "IMG_" << SnapshotFormat::Png;
    QTest::newRow("JPG, another prefix") << 1 << "CAP" << SnapshotFormat::Jpg;
}

void TestExportFlow::exportRunsBesideThePlayer() {
    QFETCH(int, imageFormat);
    QFETCH(QString, prefix);
    QFETCH(SnapshotFormat, format);
    MainFormHarness h;
    h.titles.set(exportTitleList());
    MainForm& f = h.start();
    Settings::current().imageFormat = quint8(imageFormat);
    Settings::current().snapshotPrefix = prefix;
    playMovie(h);

    ExportDialog* dialog = openDialog(h);
    QVERIFY(dialog);
    QCOMPARE(h.titles.asked(), QStringList{kDevice});
    QCOMPARE(dialog->titleList->count(), 3);
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    dialog->titleList->setCurrentIndex(1);
    dialog->lastChapter->setCurrentIndex(dialog->lastChapter->findData(3));
    QTest::mouseClick(dialog->perShot, Qt::LeftButton);
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);

    QCOMPARE(h.exporter.started.size(), 1);
    const ExportRequest r = h.exporter.started[0];
    QCOMPARE(r.medium, kDevice);
    QCOMPARE(r.discLabel, QStringLiteral("MOVIE"));
    QCOMPARE(r.folder, movieFolder());
    QVERIFY(QFileInfo(movieFolder()).isDir()); // made as for a snapshot
    QCOMPARE(r.prefix, prefix);
    QCOMPARE(r.format, format);
    QCOMPARE(r.title, 2);
    QCOMPARE(r.firstChapter, 1);
    QCOMPARE(r.lastChapter, 3);
    QCOMPARE(r.mode, ExportMode::PerShot);

    // The player goes on: no modal window, the controls stay on.
    ExportProgressWindow* progress = f.exportFlow().progressWindow();
    QVERIFY(progress);
    QVERIFY(progress->isVisible());
    QVERIFY(!progress->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(probe(f).snapshotButton->isEnabled());

    emit h.exporter.progressed(ExportProgress{0.5, 17, 61'000});
    QCOMPARE(progress->imagesWritten->text(), QStringLiteral("17"));
    QCOMPARE(progress->timeLeft->text(), QStringLiteral("1:01"));
    QTest::mouseClick(progress->CancelButton, Qt::LeftButton);
    QCOMPARE(h.exporter.cancels, 1);

    ExportReport end;
    end.outcome = ExportReport::Outcome::Cancelled;
    end.images = 18;
    end.folder = r.folder;
    h.exporter.finish(end);
    QVERIFY(!f.exportFlow().progressWindow());
    QVERIFY(!f.exportFlow().running());
    QCOMPARE(h.boxes.notices.size(), 1);

    // The next export starts from these choices.
    ExportDialog* again = openDialog(h);
    QVERIFY(again);
    QVERIFY(again->perShot->isChecked());
    again->reject();
}

void TestExportFlow::endsAreTold_data() {
    QTest::addColumn<ExportReport::Outcome>("outcome");
    QTest::addColumn<quint64>("images");
    QTest::addColumn<quint64>("skipped");
    QTest::addColumn<bool>("reportsFolder");
    QTest::addColumn<QString>("text"); // {folder}: the disc's images folder
    QTest::addColumn<QString>("title");
    QTest::addColumn<MessageBoxes::Icon>("icon");
    QTest::addColumn<QString>("logged"); // empty: nothing
    using O = ExportReport::Outcome;
    const auto info = MessageBoxes::Icon::Information;
    const auto critical = MessageBoxes::Icon::Critical;
    QTest::newRow("done") << O::Done << quint64(300) << quint64(0) << true
                          << "The export is finished.\nImages written: 300\n{folder}"
                          << "Export Title" << info << "";
    QTest::newRow("done, sectors left out")
        << O::Done << quint64(300) << quint64(7) << true
        << "The export is finished.\nImages written: 300\nUnreadable sectors skipped: 7\n{folder}"
        << "Export Title" << info << "";
    QTest::newRow("done without an image: no folder to look in")
        << O::Done << quint64(0) << quint64(0) << true
        << "The export is finished.\nImages written: 0"
        << "Export Title" << info << "";
    QTest::newRow("stopped") << O::Cancelled << quint64(40) << quint64(0) << true
                             << "The export was stopped.\nImages written: 40\n{folder}"
                             << "Export Title" << info << "";
    QTest::newRow("write failed: as for captures")
        << O::WriteFailed << quint64(12) << quint64(0) << true
        << "The images could not be saved in this folder:\n{folder}\nNo space left on device"
        << "Error" << critical
        << "Error Description: No space left on device, Folder: {folder}, Method: "
           "exportTitle_Click";
    QTest::newRow("write failed, the report without its folder")
        << O::WriteFailed << quint64(0) << quint64(0) << false
        << "The images could not be saved in this folder:\n{folder}\nNo space left on device"
        << "Error" << critical << "Folder: {folder}, Method: exportTitle_Click";
    QTest::newRow("unreadable") << O::Unreadable << quint64(0) << quint64(0) << true
                                << "The disc's title tables could not be read."
                                << "Error" << critical
                                << "Error Description: VTS_01_0.IFO: bad table, Medium: " +
                                       kDevice + ", Method: exportTitle_Click";
    QTest::newRow("encrypted")
        << O::Encrypted << quint64(0) << quint64(0) << true
        << "This title is encrypted and no library to decrypt it is installed, so it cannot be "
           "exported."
        << "Error" << critical << "Error Description: VTS_01_0.IFO: bad table, Medium: " + kDevice;
}

void TestExportFlow::endsAreTold() {
    QFETCH(ExportReport::Outcome, outcome);
    QFETCH(quint64, images);
    QFETCH(quint64, skipped);
    QFETCH(bool, reportsFolder);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(MessageBoxes::Icon, icon);
    QFETCH(QString, logged);
    MainFormHarness h;
    h.titles.set(exportTitleList());
    MainForm& f = h.start();
    playMovie(h);
    QVERIFY(startExport(h));

    ExportReport end;
    end.outcome = outcome;
    end.images = images;
    end.skippedSectors = skipped;
    end.folder = reportsFolder ? movieFolder() : QString();
    end.reason = QStringLiteral("No space left on device");
    end.detail = QStringLiteral("VTS_01_0.IFO: bad table");
    h.exporter.finish(end);

    const QString folder = movieFolder();
    text.replace(QStringLiteral("{folder}"), folder);
    logged.replace(QStringLiteral("{folder}"), folder);
    QCOMPARE(h.boxes.notices, (QList<Box>{{text, title, icon, MessageBoxes::Buttons::Ok}}));
    QVERIFY(h.boxes.shown.isEmpty()); // nothing waits for the user
    if (logged.isEmpty())
        QCOMPARE(errorLog(h), QStringLiteral("<missing>"));
    else
        QVERIFY2(errorLog(h).contains(logged), qPrintable(errorLog(h)));
    QVERIFY(!f.exportFlow().progressWindow());
    QVERIFY(exportEntry(f)->isEnabled());
}

void TestExportFlow::titleListsWithoutATitleAreToldInsteadOfTheDialog_data() {
    QTest::addColumn<TitleList::Problem>("problem");
    QTest::addColumn<bool>("titles");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("logged");
    using P = TitleList::Problem;
    const QString unreadable = QStringLiteral("The disc's title tables could not be read.");
    QTest::newRow("unreadable") << P::Unreadable << false << kDevice << unreadable
                                << "Error Description: VIDEO_TS.IFO missing, Medium: " + kDevice;
    QTest::newRow("encrypted")
        << P::Encrypted << true << kDevice
        << "This title is encrypted and no library to decrypt it is installed, so it cannot be "
           "exported."
        << "Error Description: VIDEO_TS.IFO missing, Medium: " + kDevice;
    QTest::newRow("no title listed")
        << P::None << false << kDevice << unreadable << "VIDEO_TS.IFO missing, Medium: " + kDevice;
    QTest::newRow("a drive whose device is not known: nothing to read")
        << P::None << true << "" << unreadable << "No medium is known";
}

void TestExportFlow::titleListsWithoutATitleAreToldInsteadOfTheDialog() {
    QFETCH(TitleList::Problem, problem);
    QFETCH(bool, titles);
    QFETCH(QString, device);
    QFETCH(QString, text);
    QFETCH(QString, logged);
    MainFormHarness h;
    TitleList list;
    if (titles)
        list.titles = exportTitles();
    list.problem = problem;
    list.detail = QStringLiteral("VIDEO_TS.IFO missing");
    h.titles.set(list);
    MainForm& f = h.start();
    playMovie(h, device);

    f.exportFlow().exportTitle_Click();
    QTRY_COMPARE(h.boxes.notices.size(), 1);
    QCOMPARE(h.boxes.notices[0], (Box{text, QStringLiteral("Error"), MessageBoxes::Icon::Critical,
                                      MessageBoxes::Buttons::Ok}));
    QVERIFY2(errorLog(h).contains(logged), qPrintable(errorLog(h)));
    QTRY_VERIFY(exportEntry(f)->isEnabled());
    QVERIFY(!f.exportFlow().dialog());
    QVERIFY(h.exporter.started.isEmpty());
}

// The folder is made as a snapshot's; when it cannot be, the user hears it as for a snapshot.
void TestExportFlow::unusableFolderIsToldAndNothingStarts() {
    MainFormHarness h;
    h.titles.set(exportTitleList());
    MainForm& f = h.start();
    Settings::current().snapshotsPath = h.programDir.filePath(QStringLiteral("gone"));
    playMovie(h);
    QVERIFY(!startExport(h));

    const QString folder = movieFolder();
    QCOMPARE(
        h.boxes.notices,
        (QList<Box>{{QStringLiteral("The images could not be saved in this folder:\n") + folder +
                         QStringLiteral("\nThe folder does not exist and cannot be created."),
                     QStringLiteral("Error"), MessageBoxes::Icon::Critical,
                     MessageBoxes::Buttons::Ok}}));
    QVERIFY(h.exporter.started.isEmpty());
    QVERIFY(!f.exportFlow().progressWindow());
    QVERIFY(exportEntry(f)->isEnabled());
}

void TestExportFlow::mediumOfWhatIsOpen_data() {
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("medium");
    QTest::newRow("disc image") << "/data/discs/MOVIE.iso"
                                << "/data/discs/MOVIE.iso";
    QTest::newRow("disc folder") << "/data/discs/MOVIE/"
                                 << "/data/discs/MOVIE/";
    QTest::newRow("drive: its device") << "D:" << kDevice;
    QTest::newRow("drive that is gone") << "E:"
                                        << "";
    QTest::newRow("nothing") << ""
                             << "";
}

void TestExportFlow::mediumOfWhatIsOpen() {
    QFETCH(QString, opened);
    QFETCH(QString, medium);
    FakeDriveSource drives;
    drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"), kDevice);
    QCOMPARE(exportMedium(opened, drives), medium);
}

void TestExportFlow::closingWhileExporting_data() {
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<bool>("yes");
    QTest::newRow("no export: no question") << false << false << false;
    QTest::newRow("close, No: the export goes on") << true << false << false;
    QTest::newRow("close, Yes: stopped and closed") << true << false << true;
    QTest::newRow("Exit, Yes: stopped and closed") << true << true << true;
}

void TestExportFlow::closingWhileExporting() {
    QFETCH(bool, exporting);
    QFETCH(bool, fromMenu);
    QFETCH(bool, yes);
    MainFormHarness h;
    h.titles.set(exportTitleList());
    MainForm& f = h.start();
    playMovie(h);
    if (exporting)
        QVERIFY(startExport(h));
    QPointer<ExportProgressWindow> progress = f.exportFlow().progressWindow();
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
    QCOMPARE(f.isVisible(), !ends);
    QCOMPARE(h.exporter.cancels, exporting && yes ? 1 : 0);
    if (!exporting)
        return;
    QCOMPARE(progress->isVisible(), !yes);
    QCOMPARE(f.exportFlow().running(), true);

    // The end of an export stopped for the program to close is not told.
    ExportReport end;
    end.outcome = yes ? ExportReport::Outcome::Cancelled : ExportReport::Outcome::Done;
    h.exporter.finish(end);
    QCOMPARE(h.boxes.notices.size(), yes ? 0 : 1);
}

// The window can stay open across a change of language in the options.
void TestExportFlow::runningExportFollowsTheLanguage() {
    MainFormHarness h;
    h.titles.set(exportTitleList());
    MainForm& f = h.start();
    playMovie(h);
    QVERIFY(startExport(h));
    ExportProgressWindow* progress = f.exportFlow().progressWindow();
    QCOMPARE(progress->windowTitle(), QStringLiteral("Exporting Title 4"));
    QTest::mouseClick(progress->CancelButton, Qt::LeftButton);

    QVERIFY(QFile::copy(QStringLiteral(STILLBECK_DATA_DIR "/Lang/Deutsch.ini"),
                        h.programDir.filePath(QStringLiteral("Lang/Deutsch.ini"))) ||
            (QDir(h.programDir.path()).mkdir(QStringLiteral("Lang")) &&
             QFile::copy(QStringLiteral(STILLBECK_DATA_DIR "/Lang/Deutsch.ini"),
                         h.programDir.filePath(QStringLiteral("Lang/Deutsch.ini")))));
    Settings::current().languageFile = QStringLiteral("Deutsch.ini");
    f.ApplyCaptions();
    QCOMPARE(progress->windowTitle(), QStringLiteral("Titel 4 wird exportiert"));
    QCOMPARE(progress->stateLabel->text(), QStringLiteral("Wird angehalten..."));
    QCOMPARE(progress->CancelButton->text(), QStringLiteral("&Abbrechen"));
    QCOMPARE(exportEntry(f)->text(), QStringLiteral("&Titel exportieren..."));
    QCOMPARE(exportEntry(f)->statusTip(),
             QStringLiteral("Speichert einen ganzen Titel als Standbilder"));
}

QTEST_MAIN(TestExportFlow)
#include "tst_exportflow.moc"
