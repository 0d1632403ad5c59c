#include "app/ExportFlow.h"

#include "app/ExportNotices.h"
#include "capture/CaptureFailures.h"
#include "capture/SnapshotFolder.h"
#include "i18n/LanguageReader.h"
#include "platform/DriveSource.h"
#include "settings/Settings.h"
#include "ui/ExportDialog.h"
#include "ui/ExportProgressWindow.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QtConcurrent/QtConcurrentRun>

QString exportMedium(const QString& currentDrive, DriveSource& drives) {
    if (currentDrive.isEmpty())
        return QString();
    return QDir::isAbsolutePath(currentDrive) ? currentDrive : drives.mediaPath(currentDrive);
}

ExportFlow::ExportFlow(QMenu* tools, QAction* before, MessageBoxes& boxes, ExportJobs& jobs,
                       ReadTitles readTitles, ExportFlowHost host, QWidget* window)
    : boxes_(boxes), jobs_(jobs), readTitles_(std::move(readTitles)), host_(std::move(host)),
      window_(window) {
    command_ = new QAction(tools);
    command_->setObjectName(QStringLiteral("exportTitle"));
    tools->insertAction(before, command_);
    tools->insertSeparator(before);
    connect(command_, &QAction::triggered, this, &ExportFlow::exportTitle_Click);
    connect(command_, &QAction::hovered, this, [this] {
        if (host_.showHint)
            host_.showHint(Caption::HintExportTitle);
    });
    connect(&reading_, &QFutureWatcher<TitleList>::finished, this, &ExportFlow::titlesRead);
    connect(&jobs_, &ExportJobs::progressed, this, &ExportFlow::exportProgressed);
    connect(&jobs_, &ExportJobs::finished, this, &ExportFlow::exportFinished);
    updateCommand();
}

ExportFlow::~ExportFlow() {
    if (readingTitles_)
        QGuiApplication::restoreOverrideCursor();
}

void ExportFlow::setDiscOpen(bool open) {
    discOpen_ = open;
    updateCommand();
}

void ExportFlow::updateCommand() {
    command_->setEnabled(discOpen_ && !running_ && !readingTitles_ && !dialog_);
}

void ExportFlow::exportTitle_Click() {
    if (!command_->isEnabled())
        return;
    medium_ = host_.medium ? host_.medium() : QString();
    discLabel_ = host_.discLabel ? host_.discLabel() : QString();
    if (medium_.isEmpty()) {
        TitleList none;
        none.problem = TitleList::Problem::Unreadable;
        none.detail = QStringLiteral("No medium is known for the disc being played.");
        tellTitleListProblem(boxes_, none, medium_);
        return;
    }
    // A drive may take seconds to spin up: the window goes on meanwhile.
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    readingTitles_ = true;
    reading_.setFuture(QtConcurrent::run(readTitles_, medium_));
    updateCommand();
}

void ExportFlow::titlesRead() {
    readingTitles_ = false;
    QGuiApplication::restoreOverrideCursor();
    const TitleList list = reading_.result();
    if (quitting_ || tellTitleListProblem(boxes_, list, medium_)) {
        updateCommand();
        return;
    }
    dialog_ = new ExportDialog(list.titles, window_);
    if (requested_)
        dialog_->preset(request_);
    dialog_->setWindowModality(Qt::WindowModal);
    connect(dialog_, &QDialog::accepted, this, &ExportFlow::dialogAccepted);
    connect(dialog_, &QDialog::finished, this, [this] {
        if (dialog_)
            dialog_->deleteLater();
        dialog_ = nullptr;
        updateCommand();
    });
    updateCommand();
    dialog_->show();
}

void ExportFlow::dialogAccepted() {
    if (!dialog_ || quitting_)
        return;
    const ExportRequest request =
        completeRequest(dialog_->request(), Settings::current(), medium_, discLabel_);
    // The folder is made as for a snapshot; the user hears of it as of a snapshot's.
    const QString unusable = prepareSnapshotFolder(request.folder);
    if (!unusable.isEmpty()) {
        tellImagesNotSaved(boxes_, request.folder, unusable, QStringLiteral("exportTitle_Click"));
        return;
    }
    if (!jobs_.start(request)) {
        // Only one export runs at a time; its window is the one to look at.
        if (progress_)
            progress_->raise();
        return;
    }
    running_ = true;
    request_ = request;
    requested_ = true;
    progress_ = new ExportProgressWindow(request.title, window_);
    connect(progress_, &ExportProgressWindow::cancelRequested, this, [this] { jobs_.cancel(); });
    progress_->show();
    updateCommand();
}

void ExportFlow::exportProgressed(const ExportProgress& progress) {
    if (progress_ && running_)
        progress_->showProgress(progress);
}

void ExportFlow::exportFinished(ExportReport report) {
    if (!running_)
        return;
    running_ = false;
    if (progress_) {
        progress_->finish();
        progress_->deleteLater();
    }
    progress_ = nullptr;
    updateCommand();
    if (quitting_)
        return;
    if (report.folder.isEmpty())
        report.folder = request_.folder;
    tellExportReport(boxes_, report, request_.medium);
}

void ExportFlow::stopForQuit() {
    quitting_ = true;
    if (running_)
        jobs_.cancel();
    if (progress_)
        progress_->finish();
    if (dialog_)
        dialog_->reject();
}

void ExportFlow::applyCaptions() {
    command_->setText(caption(Caption::ExportTitleCommand));
    // The hint line shows it; tools that read the menu hear it as the entry's description.
    command_->setStatusTip(caption(Caption::HintExportTitle));
    command_->setToolTip(caption(Caption::HintExportTitle));
    if (progress_)
        progress_->applyCaptions();
    if (dialog_)
        dialog_->applyCaptions();
}
