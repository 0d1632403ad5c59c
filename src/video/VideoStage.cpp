#include "video/VideoStage.h"

#include "engine/FrameScale.h"
#include "engine/FrameStore.h"
#include "engine/MediaEngine.h"
#include "video/GlVideoView.h"
#include "video/Letterbox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <QVBoxLayout>
#include <QWheelEvent>

VideoStage::VideoStage(QWidget* parent, VideoPath path) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    if (path != VideoPath::OpenGl)
        return;
    gl_ = new GlVideoView(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(gl_);
    connect(gl_, &GlVideoView::failed, this, &VideoStage::fallBackToCpu);
}

void VideoStage::fallBackToCpu(const QString& reason) {
    VideoPaths::fallBackToCpu(reason);
    if (!gl_)
        return;
    gl_->hide();
    gl_->deleteLater();
    gl_ = nullptr;
    update();
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
    if (!covered_) {
        update();
        if (gl_)
            gl_->update();
    }
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
    if (gl_)
        gl_->setFrameStore(store_);
    if (engine_ && engine_->frameStore())
        frameConnection_ = connect(engine_->frameStore(), &FrameStore::frameArrived, this,
                                   &VideoStage::frameArrived, Qt::QueuedConnection);
    update();
}

// The black around the picture stays as long as the picture keeps its place.
void VideoStage::frameArrived() {
    if (covered_)
        return;
    if (gl_) {
        gl_->update();
        return;
    }
    const auto frame = engine_ && engine_->frameStore() ? engine_->frameStore()->latest() : nullptr;
    if (frame && !frame->isNull() && pictureRect_.isValid() &&
        frame->displaySize == pictureDisplaySize_)
        update(pictureRect_);
    else
        update();
}

const QImage& VideoStage::pictureAt(const VideoFrame& frame, QSize size) {
    if (frame.shown.size() == size)
        return frame.shown;
    if (scaledSerial_ == frame.serial && scaled_.size() == size)
        return scaled_;
    if (scaled_.size() != size || scaled_.format() != QImage::Format_RGB32)
        scaled_ = QImage(size, QImage::Format_RGB32);
    // From the planes in one pass, as the decoder's side would have; an RGB frame is scaled.
    const YuvPicture* planes = frame.planes();
    if (!planes || !converter_.convert(planes->view, scaled_))
        FrameScale::scaleInto(frame.image(), scaled_);
    scaledSerial_ = frame.serial;
    return scaled_;
}

bool VideoStage::convertIntoBackingStore(QPainter& painter, const VideoFrame& frame,
                                         const QRect& target, const QRegion& exposed) {
    const YuvPicture* planes = frame.planes();
    QPaintEngine* engine = painter.paintEngine();
    if (!planes || !engine || engine->type() != QPaintEngine::Raster || !engine->paintDevice() ||
        engine->paintDevice()->devType() != QInternal::Image)
        return false;
    // The converter refuses a store of any other pixel format than its own.
    auto* store = static_cast<QImage*>(engine->paintDevice());
    // Only where Qt repaints anyway: the rest of the store shows other widgets.
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxScale || !(QRegion(target) - exposed).isEmpty())
        return false;
    const QRect device = transform.mapRect(QRectF(target)).toAlignedRect();
    if (!store->rect().contains(device))
        return false;
    QImage area(store->bits() + qsizetype(device.y()) * store->bytesPerLine() +
                    qsizetype(device.x()) * 4,
                device.width(), device.height(), store->bytesPerLine(), store->format());
    return converter_.convert(planes->view, area);
}

void VideoStage::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const auto frame = engine_ && engine_->frameStore() ? engine_->frameStore()->latest() : nullptr;
    if (gl_ || !frame || frame->isNull()) {
        painter.fillRect(rect(), Qt::black);
        pictureRect_ = QRect();
        return;
    }
    const QRect target = letterboxRect(frame->displaySize, size());
    for (const QRect& margin : QRegion(rect()).subtracted(target))
        painter.fillRect(margin, Qt::black);
    pictureRect_ = target;
    pictureDisplaySize_ = frame->displaySize;
    if (target.isEmpty())
        return;
    if (convertIntoBackingStore(painter, *frame, target, event->region())) {
        askForSize(QSize());
        return;
    }
    const QSize size = (QSizeF(target.size()) * devicePixelRatioF()).toSize();
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
