#include "playback/FrameStore.h"

#include <QMutexLocker>

void FrameStore::publish(QImage image, QSize displaySize) {
    {
        QMutexLocker lock(&mutex_);
        auto frame = std::make_shared<VideoFrame>();
        frame->image = std::move(image);
        frame->displaySize = displaySize.isValid() ? displaySize : frame->image.size();
        frame->serial = ++serial_;
        latest_ = std::move(frame);
    }
    emit frameArrived();
}

std::shared_ptr<const VideoFrame> FrameStore::latest() const {
    QMutexLocker lock(&mutex_);
    return latest_;
}

void FrameStore::clear() {
    {
        QMutexLocker lock(&mutex_);
        latest_.reset();
    }
    emit frameArrived();
}
