// The hint line along the bottom edge: names the control under the pointer for a few seconds.
#include "app/MainForm.h"

#include "i18n/LanguageReader.h"

#include "ui/GlyphButton.h"
#include "ui/MouseArgs.h"
#include "ui/ProgressBar.h"
#include "ui/VolumeSlider.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

void MainForm::ShowHint(const CaptionText& text) {
    const QString hint = caption(text);
    if (toolTips->text() == hint)
        return;
    toolTips->setText(hint);
    // A running hide timer keeps counting from where it is.
    if (!toolTipTimer->isActive())
        toolTipTimer->start();
}

void MainForm::toolTipTimer_Timer() {
    toolTips->setText(QString());
    toolTipTimer->stop();
}

QList<QPair<QWidget*, CaptionText>> MainForm::hintedControls() const {
    return {
        {snapshotButton, Caption::HintSingleSnapshot},
        {continuousSnapshotsButton, Caption::HintContinuousSnapshots},
        {timedSnapshotsButton, Caption::HintTimedSnapshots},
        {fullScreenButton, Caption::HintFullScreen},
        {rewindButton, Caption::HintRewind},
        {playButton, Caption::HintPlay},
        {pauseButton, Caption::HintPause},
        {stopButton, Caption::HintStop},
        {ffButton, Caption::HintFastForward},
        // What a press does: "Mute" while the sound is on, as the hint says.
        {muteStatus, session_.muted() ? Caption::HintSound : Caption::HintMute},
    };
}

// Pointer moves over the hinted buttons show their hints.
bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !widget->isEnabled())
        return false;
    if (widget == muteStatus) {
        auto* move = static_cast<QMouseEvent*>(event);
        muteStatus_MouseMove(mouseButtonWord(move->buttons()), shiftWord(move->modifiers()),
                             static_cast<float>(move->position().x()),
                             static_cast<float>(move->position().y()));
        return false;
    }
    for (const auto& [control, hint] : hintedControls()) {
        if (control == widget)
            ShowHint(hint);
    }
    return false;
}

void MainForm::applyAccessibleNames() {
    QList<QPair<QWidget*, CaptionText>> names = hintedControls();
    names.append({volumeSlider, Caption::HintVolume});
    names.append({movieProgress, Caption::PositionBarName});
    for (const auto& [widget, text] : names)
        widget->setAccessibleName(caption(text));
}

void MainForm::volumeSlider_MouseMove(int button, int, float, float) {
    const QString hint = caption(Caption::HintVolume);
    if (toolTips->text() != hint)
        toolTips->setText(hint);
    if (!toolTipTimer->isActive())
        toolTipTimer->start();
    if (button != 1)
        return;
    setVolumeFromUser(volumeSlider->value());
}

void MainForm::setVolumeFromUser(int value) {
    volumeSlider->setValue(value); // clamped to the slider's range
    session_.changeVolume(volumeSlider->value());
    volumeSlider->setSelLength(volumeSlider->value());
}

void MainForm::muteStatus_MouseMove(int, int, float, float) {
    ShowHint(session_.muted() ? Caption::HintSound : Caption::HintMute);
}
