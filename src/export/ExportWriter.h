#pragma once

#include "export/ExportRequest.h"

#include <QImage>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

struct AVFrame;

// The export's second thread: converts each decoded picture from its planes to its display size
// in one pass, encodes it and writes it under the next free number, in the order handed in, so
// decoding and encoding run side by side. Holds at most kQueued pictures (references to the
// decoder's buffers), so a slow disk slows the decoding instead of filling memory. Thumbnails for
// a contact sheet are converted straight to their size and kept.
class ExportWriter {
public:
    static constexpr size_t kQueued = 6;

    ExportWriter(const ExportRequest& request, QSize displaySize, QSize thumbnailSize,
                 int thumbnails);
    // Finishes what is queued (unless stopped) before returning.
    ~ExportWriter();

    // Queues an image of frame (a new reference is taken); waits while the queue is full.
    // False once writing failed or stop() was called.
    bool image(const AVFrame* frame);
    bool thumbnail(const AVFrame* frame, int slot);
    // Drops what is queued: the image being written is finished, nothing after it.
    void stop();
    // Waits until everything queued is written.
    void finish();
    // Writes an image made here (the contact sheet) after the queued ones; false on failure.
    bool writeImage(const QImage& image, const QString& prefix);

    quint64 written() const { return written_.load(); }
    bool failed() const;
    QString failedReason() const;
    QString failedDetail() const;
    std::vector<QImage> takeThumbnails();

private:
    struct Job {
        AVFrame* frame = nullptr;
        int slot = -1; // -1: an image to write
    };
    bool queue(const AVFrame* frame, int slot);
    void run();
    void process(const Job& job);
    bool store(const QImage& image, const QString& prefix);

    const ExportRequest& request_;
    const QSize displaySize_, thumbnailSize_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    bool busy_ = false, quit_ = false, stopped_ = false;
    bool failed_ = false;
    QString reason_, detail_;
    std::atomic<quint64> written_{0};
    std::vector<QImage> thumbnails_;
    int nextNumber_ = 1;
    std::thread thread_;
};
