#include "video/FullScreenView.h"

#include "engine/MediaEngine.h"
#include "video/VideoStage.h"

#include <QApplication>

bool FullScreenView::isShown() const {
    return stage_ && stage_->isVisible();
}

void FullScreenView::show() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        throw EngineError("full screen needs a widget application");
    close();
    auto* stage = new VideoStage;
    stage->setAttribute(Qt::WA_DeleteOnClose);
    stage->setWindowTitle(QCoreApplication::applicationName());
    stage->setEngine(&engine_);
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
