#pragma once

#include "app/ExportJobs.h"

#include <QList>

// An exporter that writes nothing: it records what it was asked, and the test tells how the
// export goes through progressed() and finish().
class FakeExportJobs : public ExportJobs {
public:
    QList<ExportRequest> started;
    int cancels = 0;

    bool start(const ExportRequest& request) override {
        started.append(request);
        return running_ = true;
    }
    void cancel() override { ++cancels; }
    bool running() const override { return running_; }

    // Ends the run first, as the real one does.
    void finish(const ExportReport& report) {
        running_ = false;
        emit finished(report);
    }

private:
    bool running_ = false;
};
