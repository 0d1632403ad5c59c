// Writes a PNG of every window and dialog of the program into a folder, so the look can be
// reviewed without driving the program. Run through scripts/screenshots.sh.
//   stillbeck_screenshots <output folder> <folder with Skin.skf, Lang/ and the help page>
// With STILLBECK_FIXTURE_DIR naming a folder that holds the authored movie.iso, the "playing"
// picture shows the disc playing in the real engine; without it, the window on the fake engine.
#include "MainFormHarness.h"

#include "controls/folder_picker/FolderBrowse.h"
#include "engine/VlcEngine.h"
#include "platform/ProgramFolder.h"
#include "support/ExportTitles.h"
#include "ui/AboutForm.h"
#include "ui/ExportDialog.h"
#include "ui/ExportProgressWindow.h"
#include "ui/GlyphButton.h"
#include "ui/HelpWindow.h"
#include "ui/OptionsDialog.h"
#include "ui/TimedSnapshotsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

QString outputFolder;
int failures = 0;

void save(QWidget* window, const char* name) {
    window->show();
    window->raise();
    if (!QTest::qWaitForWindowExposed(window))
        std::fprintf(stderr, "%s: the window was not exposed\n", name);
    QTest::qWait(150); // let queued layout and paint events run
    const QString path = QDir(outputFolder).filePath(QString::fromLatin1(name) + ".png");
    if (window->grab().save(path)) {
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        ++failures;
    }
}

void hover(QWidget* w) {
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 4), w->mapToGlobal(QPointF(4, 4)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

bool copyTree(const QString& from, const QString& to) {
    QDir source(from);
    if (!QDir().mkpath(to))
        return false;
    for (const QFileInfo& entry :
         source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isDir() ? !copyTree(entry.filePath(), target)
                          : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <output folder> <data folder>\n", argv[0]);
        return 2;
    }
    outputFolder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outputFolder);

    MainFormHarness h;
    if (!copyTree(QString::fromLocal8Bit(argv[2]), h.programDir.path())) {
        std::fprintf(stderr, "could not copy the data folder\n");
        return 1;
    }
    const QString iso =
        QDir(qEnvironmentVariable("STILLBECK_FIXTURE_DIR")).filePath(QStringLiteral("movie.iso"));
    if (QFile::exists(iso)) {
        h.vlc = std::make_unique<EngineAssembly>(
            &h.drives, QStringList{QStringLiteral("--aout=adummy"), QStringLiteral("--quiet")});
        h.realEngine = &h.vlc->engine();
    }
    MainForm& f = h.start();
    f.toolTipTimer_Timer();
    save(&f, "main-idle");

    h.drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"), h.vlc ? iso : QString());
    f.fileMenu_Click();
    f.dvdsList_Click(0);
    if (h.vlc) {
        probe(f).movieTimer->start();
        if (!QTest::qWaitFor([&] { return probe(f).logoHide->isHidden(); }, 15000))
            std::fprintf(stderr, "the disc did not start playing\n");
        QTest::qWait(2500); // a few seconds into the title
        probe(f).movieTimer->stop();
    } else {
        h.engine.loadTitle();
        h.tick();
    }
    // A hint on the line at the bottom, and the keyboard focus on the play button.
    hover(probe(f).snapshotButton);
    f.activateWindow();
    probe(f).playButton->setFocus(Qt::TabFocusReason);
    save(&f, "main-playing");

    OptionsDialog* options = f.optionsDialog();
    options->availableLanguages->setFocus(Qt::TabFocusReason);
    save(options, "options");

    modBrowse::BrowseInfo info;
    info.owner = options; // under the compact dialog, as the Browse button opens it
    info.title = QStringLiteral("Folder Browser");
    info.flags = FolderBrowse::BIF_DONTGOBELOWDOMAIN | FolderBrowse::BIF_VALIDATE;
    info.initialFolder = QDir::homePath();
    const auto picker = modBrowse::createBrowseDialog(info);
    save(picker.get(), "folder-picker");
    picker->hide();
    options->hide();

    TimedSnapshotsDialog* prompt = f.timedSnapshotsDialog();
    save(prompt, "interval-prompt");
    prompt->hide();

    // Tools > Export Title: the dialog with a sheet added, and the window of a running export.
    ExportDialog exportDialog(exportTitles(), &f);
    exportDialog.sheetCheck->setChecked(true);
    save(&exportDialog, "export-title");
    exportDialog.hide();
    ExportProgressWindow exportProgress(4, &f);
    exportProgress.showProgress(ExportProgress{0.37, 214, 754'000});
    save(&exportProgress, "export-progress");
    exportProgress.hide();

    AboutForm* about = f.aboutForm();
    about->setWindowIcon(f.windowIcon());
    save(about, "about");
    about->hide();

    HelpWindow help(platform::programFile(QStringLiteral("English.html")));
    save(&help, "help");
    help.hide();

    f.hide();
    return failures == 0 ? 0 : 1;
}
