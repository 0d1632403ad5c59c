#include "video/FullScreenView.h"

#include "engine/MediaEngine.h"
#include "video/VideoStage.h"

#include <QAction>
#include <QApplication>

bool FullScreenView::isShown() const {
    return stage_ && stage_->isVisible();
}

void FullScreenView::setWindowActions(const QList<QAction*>& actions) {
    actions_.clear();
    for (QAction* action : actions)
        actions_.append(action);
}

void FullScreenView::setWindowStage(VideoStage* stage) {
    windowStage_ = stage;
}

void FullScreenView::show() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        throw EngineError("full screen needs a widget application");
    close();
    auto* stage = new VideoStage;
    stage->setAttribute(Qt::WA_DeleteOnClose);
    stage->setWindowTitle(QCoreApplication::applicationName());
    stage->setEngine(&engine_);
    for (QAction* action : actions_)
        if (action)
            stage->addAction(action);
    connect(stage, &VideoStage::wheelTurned, this, &FullScreenView::wheelTurned);
    // However it closes (Esc, a double-click, the command), the window's stage comes back;
    // not for a view replaced by a new one.
    // (Compared as objects: the stage is no VideoStage any more while it is destroyed.)
    connect(stage, &QObject::destroyed, this, [this](QObject* gone) {
        if (shown_ && shown_ != gone)
            return;
        shown_ = nullptr;
        if (windowStage_)
            windowStage_->setCovered(false);
    });
    stage_ = stage;
    shown_ = stage;
    stage->showFullScreen();
    if (windowStage_)
        windowStage_->setCovered(true);
    stage->activateWindow();
    stage->setFocus();
}

void FullScreenView::close() {
    if (stage_)
        stage_->close();
    stage_ = nullptr;
    shown_ = nullptr;
}
