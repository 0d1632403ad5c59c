#pragma once

#include "export/ExportRequest.h"

#include <atomic>
#include <functional>

// One export from start to end on the calling thread (the exporter's worker): opens the medium,
// plans the pictures the mode wants, decodes them and hands them to a writer thread that scales,
// encodes and writes them in order. Returns how it ended; the images written stay in any case.
struct ExportRun {
    const ExportRequest& request;
    const std::atomic<bool>& cancelled;
    // Called now and then from the running threads, at most about ten times a second.
    std::function<void(const ExportProgress&)> progressed;

    ExportReport run();
};
