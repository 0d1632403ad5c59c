// What the window shows of the player session and the capture controller.
#include "app/MainForm.h"

#include "app/ExportFlow.h"
#include "app/PlaybackMenu.h"
#include "i18n/LanguageReader.h"
#include "ui/GlyphButton.h"
#include "ui/ProgressBar.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QTimer>

namespace {
const QString kSoundOn = QStringLiteral("U");
const QString kMuted = QStringLiteral("V");
} // namespace

void MainForm::EnablePlaybackControls(bool enabled) {
    editMenu->menuAction()->setEnabled(enabled);
    playbackMenu_->enable(enabled);
    if (exportFlow_)
        exportFlow_->setDiscOpen(enabled);
    const QList<QWidget*> controls{
        snapshotButton,       fullScreenButton, continuousSnapshotsButton,
        timedSnapshotsButton, playButton,       stopButton,
        pauseButton,          rewindButton,     ffButton};
    for (QWidget* control : controls)
        control->setEnabled(enabled);
    if (enabled) {
        continuousSnapshots->setEnabled(true);
        timedSnapshots->setEnabled(true);
    }
}

void MainForm::enablePauseAndShuttle(bool enabled) {
    pauseButton->setEnabled(enabled);
    rewindButton->setEnabled(enabled);
    ffButton->setEnabled(enabled);
}

// With no disc the position timer rests, so that an idle window does not wake a hundred times a
// second; a disc on its way wakes it again.
void MainForm::restMovieTimer() {
    movieTimer->stop();
    movieTimerResting_ = true;
}

void MainForm::showLoading() {
    if (movieTimerResting_) {
        movieTimerResting_ = false;
        movieTimer->start();
    }
    timeElapsed->setText(caption(Caption::Loading));
    // The waits of the open sequence block the window for a moment: show the state before.
    logoHide->repaint();
    timeElapsed->repaint();
}

void MainForm::showTimeText(const QString& text) {
    timeElapsed->setText(text);
}

void MainForm::showProgress(float percent) {
    movieProgress->setFloatValue(percent);
}

void MainForm::showCover(bool shown) {
    logoHide->setVisible(shown);
}

void MainForm::showMuted(bool muted, bool paintNow) {
    muteStatus->setGlyph(muted ? kMuted : kSoundOn);
    if (paintNow)
        muteStatus->repaint();
}

void MainForm::continuousCaptureChanged(bool running) {
    snapshotButton->setEnabled(!running);
    timedSnapshotsButton->setEnabled(!running);
}

void MainForm::timedCaptureChanged(bool running) {
    snapshotButton->setEnabled(!running);
    continuousSnapshotsButton->setEnabled(!running);
}
