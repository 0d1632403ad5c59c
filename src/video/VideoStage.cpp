#include "video/VideoStage.h"

#include "engine/FrameScale.h"
#include "engine/FrameStore.h"
#include "engine/MediaEngine.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QWheelEvent>

VideoStage::VideoStage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

VideoStage::~VideoStage() {
    askForSize(QSize());
}

void VideoStage::askForSize(QSize size) {
    if (!store_)
        return;
    if (size.isEmpty()) {
        if (!askedSize_.isEmpty() && store_->shownSize() == askedSize_)
            store_->setShownSize(QSize());
        askedSize_ = QSize();
        return;
    }
    // Compared with the store's, not the last asked: the full-screen view asks for its size
    // while it is up, and lets go when it closes.
    askedSize_ = size;
    if (store_->shownSize() != size)
        store_->setShownSize(size);
}

void VideoStage::setCovered(bool covered) {
    if (covered == covered_)
        return;
    covered_ = covered;
    if (!covered_)
        update();
}

// A hidden stage paints nothing, and frames need not be scaled for it.
void VideoStage::hideEvent(QHideEvent* event) {
    askForSize(QSize());
    QWidget::hideEvent(event);
}

void VideoStage::setEngine(MediaEngine* engine) {
    askForSize(QSize());
    askedSize_ = QSize();
    disconnect(frameConnection_);
    engine_ = engine;
    store_ = engine_ ? engine_->frameStore() : nullptr;
    scaled_ = QImage();
    scaledSerial_ = 0;
    if (engine_ && engine_->frameStore())
        frameConnection_ = connect(engine_->frameStore(), &FrameStore::frameArrived, this,
                                   &VideoStage::frameArrived, Qt::QueuedConnection);
    update();
}

// The black around the picture stays as long as the picture keeps its place.
void VideoStage::frameArrived() {
    if (covered_)
        return;
    const auto frame = engine_ && engine_->frameStore() ? engine_->frameStore()->latest() : nullptr;
    if (frame && !frame->image.isNull() && pictureRect_.isValid() &&
        frame->displaySize == pictureDisplaySize_)
        update(pictureRect_);
    else
        update();
}

const QImage& VideoStage::pictureAt(const VideoFrame& frame, QSize size) {
    if (frame.image.size() == size)
        return frame.image;
    if (frame.shown.size() == size)
        return frame.shown;
    if (scaledSerial_ != frame.serial || scaled_.size() != size ||
        scaled_.format() != frame.image.format()) {
        if (scaled_.size() != size || scaled_.format() != frame.image.format())
            scaled_ = QImage(size, frame.image.format());
        FrameScale::scaleInto(frame.image, scaled_);
        scaledSerial_ = frame.serial;
    }
    return scaled_;
}

void VideoStage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const auto frame = engine_ && engine_->frameStore() ? engine_->frameStore()->latest() : nullptr;
    if (!frame || frame->image.isNull()) {
        painter.fillRect(rect(), Qt::black);
        pictureRect_ = QRect();
        return;
    }
    const QSize shown = frame->displaySize.scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2),
                       shown);
    for (const QRect& margin : QRegion(rect()).subtracted(target))
        painter.fillRect(margin, Qt::black);
    pictureRect_ = target;
    pictureDisplaySize_ = frame->displaySize;
    if (target.isEmpty())
        return;
    const QSize size = (QSizeF(shown) * devicePixelRatioF()).toSize();
    askForSize(size);
    const QImage& picture = pictureAt(*frame, size);
    painter.drawImage(QRectF(target), picture);
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

void VideoStage::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (isWindow())
        close(); // as Esc or the full-screen command again
    else
        emit doubleClicked();
}

void VideoStage::wheelEvent(QWheelEvent* event) {
    emit wheelTurned(event->angleDelta().y());
    event->accept();
}
