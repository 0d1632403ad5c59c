#include "engine/FrameStore.h"

#include <QMutexLocker>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

qint64 FrameStore::clockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void FrameStore::publish(std::shared_ptr<const YuvPicture> planes, QSize displaySize, QImage shown,
                         qint64 shownCpuNs) {
    auto picture = std::make_shared<VideoFrame::Picture>();
    picture->planes = std::move(planes);
    publishPicture(std::move(picture), displaySize, std::move(shown), shownCpuNs);
}

void FrameStore::publish(QImage image, QSize displaySize, QImage shown, qint64 shownCpuNs) {
    auto picture = std::make_shared<VideoFrame::Picture>();
    picture->rgb = std::move(image);
    publishPicture(std::move(picture), displaySize, std::move(shown), shownCpuNs);
}

void FrameStore::publishPicture(std::shared_ptr<const VideoFrame::Picture> picture,
                                QSize displaySize, QImage shown, qint64 shownCpuNs) {
    auto fresh = std::make_shared<VideoFrame>();
    fresh->arrivedMs = clockMs();
    fresh->picture = std::move(picture);
    fresh->shown = std::move(shown);
    fresh->shownCpuNs = shownCpuNs;
    fresh->displaySize = displaySize.isValid() ? displaySize : fresh->codedSize();
    // The history's copy shares the picture; the scaled one would cost megabytes a frame.
    auto kept = std::make_shared<VideoFrame>();
    kept->picture = fresh->picture;
    kept->displaySize = fresh->displaySize;
    kept->arrivedMs = fresh->arrivedMs;
    std::shared_ptr<const VideoFrame> frame;
    std::vector<std::shared_ptr<const VideoFrame>> released;
    {
        QMutexLocker lock(&mutex_);
        fresh->serial = kept->serial = ++serial_;
        frame = std::exchange(latest_, std::move(fresh));
        history_.push_back(std::move(kept));
        // A new picture is shown, unless one is held: the holder chooses what shows next.
        if (held_)
            ++stepsBack_;
        else
            stepsBack_ = 0;
        trimHistory(released);
    }
    // Released pictures are freed here, outside the lock: freeing a picture takes long enough
    // to stall a reader on the user-interface thread.
    frame.reset();
    released.clear();
    emit frameArrived();
}

void FrameStore::trimHistory(std::vector<std::shared_ptr<const VideoFrame>>& released) {
    while (int(history_.size()) > historyLength_) {
        released.push_back(std::move(history_.front()));
        history_.pop_front();
    }
    stepsBack_ = std::min(stepsBack_, std::max(0, int(history_.size()) - 1));
}

std::shared_ptr<const VideoFrame> FrameStore::latest() const {
    QMutexLocker lock(&mutex_);
    if (held_)
        return held_;
    if (stepsBack_ > 0)
        return history_[history_.size() - 1 - size_t(stepsBack_)];
    return latest_;
}

std::shared_ptr<const VideoFrame> FrameStore::newest() const {
    QMutexLocker lock(&mutex_);
    return latest_;
}

void FrameStore::clear() {
    std::shared_ptr<const VideoFrame> previous;
    std::deque<std::shared_ptr<const VideoFrame>> history;
    {
        QMutexLocker lock(&mutex_);
        latest_.swap(previous);
        history_.swap(history);
        held_.reset();
        stepsBack_ = 0;
    }
    previous.reset();
    history.clear();
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

std::vector<std::shared_ptr<const VideoFrame>> FrameStore::history() const {
    QMutexLocker lock(&mutex_);
    return {history_.begin(), history_.end()};
}

int FrameStore::historyLength() const {
    QMutexLocker lock(&mutex_);
    return historyLength_;
}

void FrameStore::setHistoryLength(int frames) {
    std::vector<std::shared_ptr<const VideoFrame>> released;
    QMutexLocker lock(&mutex_);
    historyLength_ = std::max(2, frames);
    trimHistory(released);
}

void FrameStore::setFrameRate(double framesPerSecond) {
    const bool known = std::isfinite(framesPerSecond) && framesPerSecond > 0;
    {
        QMutexLocker lock(&mutex_);
        frameRate_ = known ? framesPerSecond : 0;
    }
    // The span from the oldest frame to the newest is the history's length in pictures, less one.
    setHistoryLength(known ? int(std::ceil(framesPerSecond * kHistorySeconds - 1e-6)) + 1
                           : kDefaultHistoryLength);
}

double FrameStore::frameRate() const {
    QMutexLocker lock(&mutex_);
    return frameRate_;
}

bool FrameStore::stepBack() {
    {
        QMutexLocker lock(&mutex_);
        if (stepsBack_ + 1 >= int(history_.size()))
            return false;
        ++stepsBack_;
    }
    emit frameArrived();
    return true;
}

bool FrameStore::stepForward() {
    {
        QMutexLocker lock(&mutex_);
        if (stepsBack_ == 0)
            return false;
        --stepsBack_;
    }
    emit frameArrived();
    return true;
}

int FrameStore::stepsBack() const {
    QMutexLocker lock(&mutex_);
    return stepsBack_;
}

bool FrameStore::showSerial(quint64 serial) {
    {
        QMutexLocker lock(&mutex_);
        const auto found =
            std::find_if(history_.begin(), history_.end(),
                         [serial](const auto& frame) { return frame->serial == serial; });
        if (found == history_.end())
            return false;
        stepsBack_ = int(history_.end() - found) - 1;
    }
    emit frameArrived();
    return true;
}

void FrameStore::hold(std::shared_ptr<const VideoFrame> frame) {
    std::shared_ptr<const VideoFrame> previous;
    {
        QMutexLocker lock(&mutex_);
        previous = std::exchange(held_, std::move(frame));
    }
    previous.reset();
    emit frameArrived();
}

void FrameStore::forgetHistory() {
    std::shared_ptr<const VideoFrame> previous;
    std::deque<std::shared_ptr<const VideoFrame>> history;
    {
        QMutexLocker lock(&mutex_);
        latest_.swap(previous);
        history_.swap(history);
        stepsBack_ = 0;
    }
}
