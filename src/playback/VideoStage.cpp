#include "playback/VideoStage.h"

#include "playback/FrameStore.h"
#include "playback/MediaEngine.h"

#include <QKeyEvent>
#include <QPainter>

VideoStage::VideoStage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void VideoStage::setEngine(MediaEngine* engine) {
    disconnect(frameConnection_);
    engine_ = engine;
    if (engine_ && engine_->frameStore())
        frameConnection_ = connect(engine_->frameStore(), &FrameStore::frameArrived, this,
                                   qOverload<>(&QWidget::update), Qt::QueuedConnection);
    update();
}

void VideoStage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!engine_ || !engine_->frameStore())
        return;
    const auto frame = engine_->frameStore()->latest();
    if (!frame || frame->image.isNull())
        return;
    QSize shown = frame->displaySize.scaled(size(), Qt::KeepAspectRatio);
    QRect target(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, frame->image);
}

void VideoStage::keyPressEvent(QKeyEvent* event) {
    // A stage that is a window of its own is the full-screen view: Esc leaves it.
    if (event->key() == Qt::Key_Escape && isWindow()) {
        close();
        return;
    }
    if (!engine_) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        engine_->navigate(DvdNavigation::Up);
        break;
    case Qt::Key_Down:
        engine_->navigate(DvdNavigation::Down);
        break;
    case Qt::Key_Left:
        engine_->navigate(DvdNavigation::Left);
        break;
    case Qt::Key_Right:
        engine_->navigate(DvdNavigation::Right);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        engine_->navigate(DvdNavigation::Activate);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
