#include "capture/SnapshotWriter.h"

#include "capture/SnapshotFolder.h"
#include "capture/StillFiles.h"
#include "engine/FrameScale.h"
#include "engine/FrameStore.h"
#include "platform/ThreadPriority.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QMutexLocker>
#include <QThread>

#include <cerrno>
#include <cstring>

struct SnapshotWriter::Encoded {
    quint64 serial = 0;
    SnapshotFormat format = SnapshotFormat::Png;
    QByteArray bytes;
};

SnapshotWriter::SnapshotWriter(QObject* parent) : QObject(parent) {
    worker_ = QThread::create([this] {
        // The writer yields to the user-interface thread: woken at normal priority it would often
        // take the waker's core at once, and its queue absorbs the delay.
        platform::lowerCurrentThreadPriority();
        run();
    });
    worker_->setObjectName(QStringLiteral("SnapshotWriter"));
    worker_->start(QThread::LowPriority);
}

SnapshotWriter::~SnapshotWriter() {
    {
        QMutexLocker lock(&mutex_);
        quit_ = true;
        wake_.wakeAll();
    }
    worker_->wait();
    delete worker_;
}

void SnapshotWriter::setOptions(const SnapshotOptions& options) {
    QMutexLocker lock(&mutex_);
    options_ = options;
    ++generation_;
}

SnapshotOptions SnapshotWriter::options() const {
    QMutexLocker lock(&mutex_);
    return options_;
}

void SnapshotWriter::snapshotRequested(std::shared_ptr<const VideoFrame> frame) {
    QMutexLocker lock(&mutex_);
    ++counters_.requested;
    if (!frame || frame->isNull()) {
        ++counters_.noFrame;
        return;
    }
    if (!queue_.empty() && queue_.back().frame->serial == frame->serial &&
        queue_.back().generation == generation_) {
        if (pendingRequests_ >= kMaxPendingRequests) {
            ++counters_.dropped;
            return;
        }
        ++queue_.back().count;
    } else {
        if (int(queue_.size()) >= kMaxPendingFrames || pendingRequests_ >= kMaxPendingRequests) {
            ++counters_.dropped;
            return;
        }
        queue_.push_back(Job{std::move(frame), options_, generation_, 1});
    }
    ++pendingRequests_;
    wake_.wakeOne();
}

// The series' frames are already held by the engine's history, so the bound on distinct frames
// does not apply to them; the requests still count.
void SnapshotWriter::seriesRequested(std::vector<std::shared_ptr<const VideoFrame>> frames) {
    QMutexLocker lock(&mutex_);
    for (auto& frame : frames) {
        ++counters_.requested;
        if (!frame || frame->isNull()) {
            ++counters_.noFrame;
            continue;
        }
        if (pendingRequests_ >= kMaxPendingRequests) {
            ++counters_.dropped;
            continue;
        }
        queue_.push_back(Job{std::move(frame), options_, generation_, 1});
        ++pendingRequests_;
    }
    wake_.wakeOne();
}

SnapshotWriter::Counters SnapshotWriter::counters() const {
    QMutexLocker lock(&mutex_);
    return counters_;
}

QString SnapshotWriter::lastError() const {
    QMutexLocker lock(&mutex_);
    return lastError_;
}

bool SnapshotWriter::waitForIdle(int msTimeout) {
    QDeadlineTimer deadline(msTimeout);
    QMutexLocker lock(&mutex_);
    while (!queue_.empty() || busy_) {
        if (!idle_.wait(&mutex_, deadline))
            return queue_.empty() && !busy_;
    }
    return true;
}

void SnapshotWriter::setPaused(bool paused) {
    QMutexLocker lock(&mutex_);
    paused_ = paused;
    wake_.wakeAll();
}

void SnapshotWriter::run() {
    Encoded cache;
    QMutexLocker lock(&mutex_);
    for (;;) {
        while ((queue_.empty() || paused_) && !quit_)
            wake_.wait(&mutex_);
        if (queue_.empty())
            return; // quitting with nothing left to write
        Job job = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();

        process(job, cache);
        const int done = job.count;
        job = Job{}; // drops the frame outside the lock

        lock.relock();
        pendingRequests_ -= done;
        busy_ = false;
        if (queue_.empty())
            idle_.wakeAll();
    }
}

void SnapshotWriter::process(const Job& job, Encoded& cache) {
    if (cache.bytes.isEmpty() || cache.serial != job.frame->serial ||
        cache.format != job.options.format) {
        const qint64 cpuStart = platform::threadCpuNs();
        // A video area showing the picture at its display size had it scaled already, by the
        // same scaler; otherwise it is scaled here.
        qint64 scaledElsewhereNs = 0;
        const QImage image = FrameScale::still(*job.frame, &scaledElsewhereNs);
        QString encodeError;
        QByteArray bytes = StillFiles::encode(image, job.options.format, &encodeError);
        const bool ok = !bytes.isEmpty();
        // The encoding figure holds all of the work, the scaling included wherever it ran.
        const qint64 cpu = platform::threadCpuNs() - cpuStart + scaledElsewhereNs;
        // Big buffers are replaced outside the lock the requesting thread also takes.
        cache = ok ? Encoded{job.frame->serial, job.options.format, std::move(bytes)} : Encoded{};

        QMutexLocker lock(&mutex_);
        counters_.encodeCpuNs += cpu;
        if (!ok) {
            counters_.failed += job.count;
            lastError_ = QStringLiteral("cannot encode the image: %1").arg(encodeError);
            return;
        }
        ++counters_.encoded;
    }
    for (int i = 0; i < job.count; ++i) {
        const bool ok = writeOne(job, cache.bytes);
        QMutexLocker lock(&mutex_);
        ++(ok ? counters_.written : counters_.failed);
    }
}

// Writes one file under the first free name. The file is created exclusively, so an existing
// image is never overwritten, and removed again if it cannot be written completely. A missing
// folder is created (one level, as the capture routine does), so a folder removed meanwhile or a
// path changed without reloading the disc still receives the images.
bool SnapshotWriter::writeOne(const Job& job, const QByteArray& bytes) {
    const SnapshotOptions& options = job.options;
    const QString folder = options.folder.isEmpty() ? QString() : QDir::cleanPath(options.folder);
    auto fail = [&](const QString& detail, const QString& reason) {
        {
            QMutexLocker lock(&mutex_);
            lastError_ = detail;
        }
        lastWriteFailed_ = true;
        emit writeFailed(folder, reason);
        return false;
    };
    const QString key = folder + QChar(0) + snapshotFileName(options.prefix, 0, options.format);
    if (job.generation != hintGeneration_ || key != hintKey_) {
        hintGeneration_ = job.generation;
        hintKey_ = key;
        nextNumber_ = 1;
    }
    const StillFiles::Written written =
        StillFiles::write(folder, options.prefix, options.format, bytes, &nextNumber_);
    if (!written.ok)
        return fail(written.detail, written.reason);
    if (lastWriteFailed_) {
        lastWriteFailed_ = false;
        emit writeRecovered();
    }
    return true;
}
