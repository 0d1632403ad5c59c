// What hands used to other players expect: Space, a double-click on the picture, the wheel, a
// disc dropped on the window or named when the program starts, and a second start that hands
// its disc to the window already open.
#include "app/MainForm.h"

#include "app/PlaybackMenu.h"
#include "platform/InstanceChannel.h"
#include "player/DiscImage.h"
#include "ui/VolumeSlider.h"
#include "video/FullScreenView.h"
#include "video/VideoStage.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWheelEvent>

namespace {
constexpr int kVolumeStep = 5;

// The one local disc a drag carries, or empty.
QString droppedDisc(const QMimeData* mime) {
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1)
        return {};
    const QUrl url = mime->urls().constFirst();
    if (!url.isLocalFile())
        return {};
    const QString path = url.toLocalFile();
    return isDiscPath(path) ? path : QString();
}
} // namespace

void MainForm::connectGestures() {
    playPauseCommand = new QAction(this);
    playPauseCommand->setObjectName(QStringLiteral("playPauseCommand"));
    playPauseCommand->setShortcut(Qt::Key_Space);
    // The window's own shortcut, and the full-screen view's: not the help window's or a dialog's.
    playPauseCommand->setShortcutContext(Qt::WindowShortcut);
    addAction(playPauseCommand);
    connect(playPauseCommand, &QAction::triggered, this, &MainForm::playPauseCommand_Click);
    connect(stage, &VideoStage::doubleClicked, this, &MainForm::stage_DblClick);
    connect(stage, &VideoStage::wheelTurned, this, &MainForm::volume_MouseWheel);
    connect(volumeSlider, &VolumeSlider::wheelTurned, this, &MainForm::volume_MouseWheel);
    connect(volumeSlider, &QAbstractSlider::actionTriggered, this, &MainForm::volumeSlider_Action);
    if (services_.fullScreen) {
        services_.fullScreen->setWindowActions(QList<QAction*>{playPauseCommand} +
                                               playbackMenu_->commands());
        services_.fullScreen->setWindowStage(stage);
        connect(services_.fullScreen, &FullScreenView::wheelTurned, this,
                &MainForm::volume_MouseWheel);
    }
    setAcceptDrops(true);
}

void MainForm::playPauseCommand_Click() {
    // The buttons' guard: nothing while the transport is off (no disc, or one still loading).
    if (session_.controlsEnabled())
        session_.playOrPause();
}

void MainForm::volumeSlider_Action(int) {
    // The slider has moved to its new place, and shows it, before its value follows.
    setVolumeFromUser(volumeSlider->sliderPosition());
}

void MainForm::stage_DblClick() {
    if (session_.controlsEnabled())
        fullScreenButton_Click();
}

void MainForm::volume_MouseWheel(int angle) {
    wheelRemainder_ += angle;
    const int notches = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRemainder_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0)
        setVolumeFromUser(volumeSlider->value() + notches * kVolumeStep);
}

void MainForm::dragEnterEvent(QDragEnterEvent* event) {
    // Anything but a disc keeps the refusing cursor; no message.
    if (!droppedDisc(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainForm::dropEvent(QDropEvent* event) {
    const QString disc = droppedDisc(event->mimeData());
    if (disc.isEmpty())
        return;
    event->acceptProposedAction();
    openArgument(disc);
}

void MainForm::openArgument(const QString& argument) {
    session_.openArgument(argument);
}

bool MainForm::handOverDisc() {
    if (services_.discArgument.isEmpty() || !services_.instanceChannel)
        return false;
    // Resolved here, against this process's working folder, and sent as a URI so that any
    // character of the path survives the one-line message.
    const QString path = pathOfArgument(services_.discArgument);
    const QString text = path.isEmpty() ? services_.discArgument
                                        : QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded());
    return services_.instanceChannel->send(text);
}

void MainForm::instanceChannel_Received(const QString& argument) {
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    openArgument(argument);
}
