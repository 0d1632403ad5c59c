#pragma once

#include "export/ExportRequest.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <thread>

// Exports a title to still images in the background: reads the title's cells from the medium in
// program order, decodes and deinterlaces the pictures it needs without playing them, and writes
// them as the snapshot writer does (display size, format, prefix and the next free numbers, never
// overwriting, no partial files). One export at a time.
class TitleExport : public QObject {
    Q_OBJECT
public:
    explicit TitleExport(QObject* parent = nullptr);
    // Cancels a running export and waits for it.
    ~TitleExport() override;

    // The titles of a medium; reads the disc's tables, so call it off the user-interface thread
    // for a drive.
    static TitleList titles(const QString& medium);

    // Starts an export; false when one is running already.
    bool start(const ExportRequest& request);
    // Asks the running export to stop; it ends within a second, keeping the images written.
    void cancel();
    bool running() const;

signals:
    // On the user-interface thread (queued), at most about ten times a second.
    void progressed(const ExportProgress& progress);
    // Once per start, on the user-interface thread, after the last progress.
    void finished(const ExportReport& report);

private:
    void run(ExportRequest request);

    std::thread worker_;
    std::atomic<bool> running_{false};
    std::atomic<bool> cancelled_{false};
};
