// Transport controls of the main window: play, pause, stop, seek by seconds, full screen, sound.
#include "app/MainForm.h"

#include "i18n/LanguageReader.h"
#include "platform/Sleep.h"
#include "playback/MediaEngine.h"
#include "ui/GlyphButton.h"
#include "ui/ProgressBar.h"
#include "ui/VolumeSlider.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTimer>

namespace {
const QString kSoundOn = QStringLiteral("U");
const QString kMuted = QStringLiteral("V");

// Outside of opening a disc a failing engine call just ignores the click.
template <typename F> void ignoringEngineErrors(F&& action) {
    try {
        action();
    } catch (const EngineError&) {
    }
}
} // namespace

void MainForm::EnablePlaybackControls(bool enabled) {
    editMenu->menuAction()->setEnabled(enabled);
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

void MainForm::play() {
    if (engine.playlistCount() < 1)
        return;
    if (engine.playing())
        return;
    if (!fullScreenButton->isEnabled())
        showLoading();
    engine.play();
    pauseButton->setEnabled(true);
    rewindButton->setEnabled(true);
    ffButton->setEnabled(true);
    platform::sleepMs(500);
}

void MainForm::playButton_Click() {
    ignoringEngineErrors([this] { play(); });
}

void MainForm::pauseButton_Click() {
    ignoringEngineErrors([this] {
        if (!(engine.playing() && engine.position() >= 0.0f))
            return;
        engine.pause();
        if (timedRunning) {
            // Inverted, not stopped: a second pause lets the timed images run again.
            if (snapshotsTimer->isActive())
                snapshotsTimer->stop();
            else
                snapshotsTimer->start();
        }
        pauseButton->setEnabled(false);
        ffButton->setEnabled(false);
        rewindButton->setEnabled(false);
    });
}

void MainForm::stop() {
    if (timeElapsed->text() == caption(Caption::Loading))
        return;
    movieProgress->setFloatValue(0);
    timeElapsed->setText(QString());
    if (engine.position() >= 0.0f) {
        if (continuousRunning)
            continuousSnapshotsButton_Click();
        if (timedRunning)
            timedSnapshotsButton_Click();
        engine.stop();
        engine.playlistClear();
        platform::sleepMs(500);
    }
}

void MainForm::stopButton_Click() {
    ignoringEngineErrors([this] { stop(); });
}

void MainForm::ffButton_Click() {
    ignoringEngineErrors([this] {
        if (engine.position() >= 0.0f && engine.playing())
            engine.shuttle(1);
    });
}

void MainForm::rewindButton_Click() {
    ignoringEngineErrors([this] {
        if (engine.position() >= 0.0f && engine.playing())
            engine.shuttle(-1);
    });
}

void MainForm::fullScreenButton_Click() {
    ignoringEngineErrors([this] {
        if (engine.position() >= 0.0f)
            engine.fullscreen();
    });
}

void MainForm::fullScreenMenu_Click() {
    fullScreenButton_Click();
}

void MainForm::muteStatus_Click() {
    ignoringEngineErrors([this] {
        engine.toggleMute();
        muteStatus->setGlyph(muteStatus->glyph() == kSoundOn ? kMuted : kSoundOn);
    });
}

void MainForm::volumeSlider_MouseMove(int button, int, float, float) {
    const QString hint = caption(Caption::HintVolume);
    if (toolTips->text() != hint)
        toolTips->setText(hint);
    if (!toolTipTimer->isActive())
        toolTipTimer->start();
    if (button != 1)
        return;
    if (muteStatus->glyph() == kMuted) {
        muteStatus_Click();
        muteStatus->repaint();
    }
    ignoringEngineErrors([this] { engine.setVolume(volumeSlider->value()); });
    volumeSlider->setSelLength(volumeSlider->value());
}

void MainForm::muteStatus_MouseMove(int, int, float, float) {
    ShowHint(muteStatus->glyph() == kSoundOn ? Caption::HintMute : Caption::HintSound);
}
