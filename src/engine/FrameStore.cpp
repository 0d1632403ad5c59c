#include "engine/FrameStore.h"

#include <QMutexLocker>
#include <utility>

void FrameStore::publish(QImage image, QSize displaySize, QImage shown, qint64 shownCpuNs) {
    auto fresh = std::make_shared<VideoFrame>();
    fresh->image = std::move(image);
    fresh->shown = std::move(shown);
    fresh->shownCpuNs = shownCpuNs;
    fresh->displaySize = displaySize.isValid() ? displaySize : fresh->image.size();
    std::shared_ptr<const VideoFrame> frame;
    {
        QMutexLocker lock(&mutex_);
        fresh->serial = ++serial_;
        frame = std::exchange(latest_, std::move(fresh));
    }
    // The previous frame is released here, outside the lock: freeing a picture takes long
    // enough to stall a reader on the user-interface thread.
    frame.reset();
    emit frameArrived();
}

std::shared_ptr<const VideoFrame> FrameStore::latest() const {
    QMutexLocker lock(&mutex_);
    return latest_;
}

void FrameStore::clear() {
    std::shared_ptr<const VideoFrame> previous;
    {
        QMutexLocker lock(&mutex_);
        latest_.swap(previous);
    }
    previous.reset();
    emit frameArrived();
}

void FrameStore::setShownSize(QSize size) {
    QMutexLocker lock(&mutex_);
    shownSize_ = size;
}

QSize FrameStore::shownSize() const {
    QMutexLocker lock(&mutex_);
    return shownSize_;
}
