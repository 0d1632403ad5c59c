// The window's handlers: each hands the user's action to the player session or the capture
// controller. The File menu's drive items are built here from the session's list.
#include "app/MainForm.h"

#include "i18n/LanguageReader.h"
#include "ui/OptionsDialog.h"
#include "ui/ProgressBar.h"
#include "ui/VolumeSlider.h"

#include <QAction>
#include <QMenu>

QString MainForm::dvdsListCaption(const QAction* item) {
    return item->data().toString();
}

void MainForm::setDvdsListCaption(QAction* item, const QString& caption) {
    // The shown text escapes "&" so that a label like "TOM & JERRY" is not read as a mnemonic.
    item->setData(caption);
    item->setText(QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

void MainForm::fileMenu_Click() {
    const QStringList& captions = session_.listDrives();
    // Back to the design item alone before the new list is shown.
    while (dvdsList.size() > 1)
        delete dvdsList.takeLast();
    if (captions.isEmpty()) {
        setDvdsListCaption(dvdsList[0], caption(Caption::NoDvdDrives));
        return;
    }
    setDvdsListCaption(dvdsList[0], captions[0]);
    // The drive items come first, above the separator and the entry for images and folders.
    const QList<QAction*> entries = openMenu->actions();
    QAction* below = entries.value(entries.indexOf(dvdsList[0]) + 1);
    for (int i = 1; i < captions.size(); ++i) {
        auto* item = new QAction(openMenu);
        setDvdsListCaption(item, captions[i]);
        openMenu->insertAction(below, item);
        connect(item, &QAction::triggered, this, [this, i] { dvdsList_Click(i); });
        dvdsList.append(item);
    }
}

void MainForm::dvdsList_Click(int index) {
    session_.openDrive(index);
}

void MainForm::openImageOrFolder_Click() {
    // The dialog is named like the entry, without its mnemonic and trailing dots.
    QString title = caption(Caption::OpenImageOrFolder).remove(QLatin1Char('&')).trimmed();
    while (title.endsWith(u'.') || title.endsWith(QChar(0x2026)))
        title.chop(1);
    const QString picked = services_.chooseDisc(this, title);
    if (!picked.isEmpty())
        session_.openImageOrFolder(picked);
}

void MainForm::BuildEngineOptions() {
    session_.BuildEngineOptions();
}

void MainForm::reloadDisc() {
    session_.reloadDisc();
}

void MainForm::optionsMenuCommand_Click() {
    optionsDialog()->showModal();
    BuildEngineOptions();
    // Loaded anew by ApplyCaptions, so the about box follows a change of language.
    unloadAboutForm();
    ApplyCaptions();
    // A cancelled dialog was unloaded; the one ApplyCaptions created in its place answers "".
    if (optionsDialog()->tag == QStringLiteral("Reload"))
        reloadDisc();
}

void MainForm::playButton_Click() {
    session_.play();
}

void MainForm::pauseButton_Click() {
    session_.pause();
}

void MainForm::stopButton_Click() {
    session_.stop();
}

void MainForm::ffButton_Click() {
    session_.fastForward();
}

void MainForm::rewindButton_Click() {
    session_.rewind();
}

void MainForm::fullScreenButton_Click() {
    session_.fullScreen();
}

void MainForm::fullScreenMenu_Click() {
    fullScreenButton_Click();
}

void MainForm::muteStatus_Click() {
    session_.toggleMute();
}

void MainForm::movieTimer_Timer() {
    session_.tick();
    if (session_.resting())
        restMovieTimer();
}

void MainForm::movieProgress_MouseDown(int button, int, float x, float) {
    session_.seek(button, x, movieProgress->width());
}

void MainForm::snapshotCommand_Click() {
    capture_.snapshot();
}

bool MainForm::CaptureAllowed() {
    return capture_.CaptureAllowed();
}

void MainForm::snapshotButton_Click() {
    capture_.singleSnapshot();
}

void MainForm::continuousSnapshotsButton_Click() {
    capture_.toggleContinuous();
}

void MainForm::continuousSnapshots_Click() {
    continuousSnapshotsButton_Click();
}

void MainForm::timedSnapshotsButton_Click() {
    capture_.toggleTimed();
}

void MainForm::timedSnapshots_Click() {
    timedSnapshotsButton_Click();
}
