#pragma once

#include "app/ExportJobs.h"
#include "i18n/CaptionTable.h"
#include "ui/ExportDialog.h"
#include "ui/ExportProgressWindow.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <functional>

class DriveSource;
class MessageBoxes;
class QAction;
class QMenu;
class QWidget;

// What the export reads of the main window.
struct ExportFlowHost {
    // The medium of the disc being played (a drive's device, a disc image or a disc folder) and
    // its label.
    std::function<QString()> medium;
    std::function<QString()> discLabel;
    std::function<void(const CaptionText&)> showHint;
};

// The medium the exporter reads for what the player opened: a disc image or folder is its own,
// a drive is read through its device.
QString exportMedium(const QString& currentDrive, DriveSource& drives);

// Tools > Export Title: reads the disc's titles off the user-interface thread, asks what to
// export, starts the export into the disc's snapshot folder and shows its progress in a window of
// its own while the player goes on; when it ends the user hears how it went. The entry is on
// while a disc is open and no export is being set up or running: one export at a time.
class ExportFlow : public QObject {
    Q_OBJECT
public:
    // The entry goes into tools before `before`, with a separator after it.
    ExportFlow(QMenu* tools, QAction* before, MessageBoxes& boxes, ExportJobs& jobs,
               ReadTitles readTitles, ExportFlowHost host, QWidget* window);
    ~ExportFlow() override;

    QAction* command() const { return command_; }
    // The player has a disc open (its playback controls are on).
    void setDiscOpen(bool open);
    // An export was started and has not ended yet.
    bool running() const { return running_; }
    // The program is closing: a running export is stopped, keeping its images, and its end is not
    // told.
    void stopForQuit();
    void applyCaptions();

    void exportTitle_Click();

    // While they are up: the dialog asking what to export, the progress window.
    ExportDialog* dialog() const { return dialog_; }
    ExportProgressWindow* progressWindow() const { return progress_; }
    bool readingTitles() const { return readingTitles_; }

private:
    void titlesRead();
    void dialogAccepted();
    void exportProgressed(const ExportProgress& progress);
    void exportFinished(ExportReport report);
    void updateCommand();

    QAction* command_ = nullptr;
    MessageBoxes& boxes_;
    ExportJobs& jobs_;
    ReadTitles readTitles_;
    ExportFlowHost host_;
    QWidget* window_;
    QFutureWatcher<TitleList> reading_;
    // From the choice of the entry until the watcher has told the list: the task itself may
    // already be done before that.
    bool readingTitles_ = false;
    // The disc the titles are being read of, as it was when the entry was chosen.
    QString medium_;
    QString discLabel_;
    QPointer<ExportDialog> dialog_;
    QPointer<ExportProgressWindow> progress_;
    bool discOpen_ = false;
    bool running_ = false;
    bool quitting_ = false;
    // The running or last export: the next dialog starts from its choices.
    ExportRequest request_;
    bool requested_ = false;
};
