#pragma once

#include "engine/SnapshotSink.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWaitCondition>
#include <deque>
#include <memory>

struct VideoFrame;
class QThread;

// The engine's snapshot sink: writes a still image of the frame of each request, off the
// caller's thread.
//
// A request only queues its frame, so the caller never waits
// for encoding or the disk. One worker thread scales each queued frame to its display size,
// encodes it and writes one file per request, in request order, so the file numbers follow the
// order of the requests.
//
// Memory: requests for the same frame (continuous capture asks every 10 ms while a frame lasts
// 40 ms) share one queue entry with a count, and the worker encodes a frame once and writes the
// same bytes for each of its requests. The queue holds at most kMaxPendingFrames distinct
// frames and kMaxPendingRequests requests; a request beyond either bound is dropped and
// counted, so a disk slower than the requests costs images, never unbounded memory.
class SnapshotWriter : public QObject, public SnapshotSink {
    Q_OBJECT
public:
    static constexpr int kMaxPendingFrames = 32;     // ~53 MB of 720x576 RGB32 frames
    static constexpr int kMaxPendingRequests = 2000; // 20 s of continuous capture

    struct Counters {
        quint64 requested = 0;  // snapshot requests (key presses of the bound key)
        quint64 written = 0;    // files written completely
        quint64 failed = 0;     // requests whose file could not be written
        quint64 dropped = 0;    // requests refused because the queue was full
        quint64 noFrame = 0;    // requests made before any frame was shown
        quint64 encoded = 0;    // distinct images encoded
        qint64 encodeCpuNs = 0; // worker CPU time spent scaling and encoding
    };

    explicit SnapshotWriter(QObject* parent = nullptr);
    // Finishes the queued requests before returning.
    ~SnapshotWriter() override;

    // Options for the requests that follow; a new media item starts its numbering anew.
    void setOptions(const SnapshotOptions& options) override;
    SnapshotOptions options() const;

    // Requests one image of frame (none yet: counted, nothing written); returns at once.
    void snapshotRequested(std::shared_ptr<const VideoFrame> frame) override;
    // One request per frame, queued at once.
    void seriesRequested(std::vector<std::shared_ptr<const VideoFrame>> frames) override;

    Counters counters() const;
    // The reason of the latest failed write, empty if none failed.
    QString lastError() const;
    // Waits until every queued request is done; false on timeout.
    bool waitForIdle(int msTimeout);
    // While paused the worker writes nothing and requests stay queued within the bounds (lets
    // tests and benchmarks stand for a disk that does not keep up).
    void setPaused(bool paused);

signals:
    // Emitted on the writer's thread (connect queued): a requested image was not written into
    // `folder`, for `reason` (the system's words, without the file name).
    void writeFailed(const QString& folder, const QString& reason);
    // An image was written after one had failed.
    void writeRecovered();

private:
    struct Job {
        std::shared_ptr<const VideoFrame> frame;
        SnapshotOptions options;
        quint64 generation = 0;
        int count = 0;
    };
    struct Encoded;

    void run();
    void process(const Job& job, Encoded& cache);
    bool writeOne(const Job& job, const QByteArray& bytes);

    mutable QMutex mutex_;
    QWaitCondition wake_;
    QWaitCondition idle_;
    std::deque<Job> queue_;
    int pendingRequests_ = 0;
    bool busy_ = false;
    bool quit_ = false;
    bool paused_ = false;
    SnapshotOptions options_;
    quint64 generation_ = 0;
    Counters counters_;
    QString lastError_;
    QThread* worker_ = nullptr;

    // Worker-only: the next number to try for the current item, so a long series does not probe
    // every taken name again; numbers of one item only grow.
    quint64 hintGeneration_ = 0;
    QString hintKey_;
    int nextNumber_ = 1;
    bool lastWriteFailed_ = false;
};
