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
    stage_ = stage;
    stage->showFullScreen();
    stage->activateWindow();
    stage->setFocus();
}

void FullScreenView::close() {
    if (stage_)
        stage_->close();
    stage_ = nullptr;
}
