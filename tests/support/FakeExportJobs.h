#pragma once

#include "app/ExportJobs.h"

#include <QList>
#include <QMutex>
#include <QStringList>
#include <memory>

// An exporter that writes nothing: it records what it was asked, and the test says how the export
// goes by emitting progressed() and finished() itself (finish() does the latter as the real one
// would, ending the run first).
class FakeExportJobs : public ExportJobs {
public:
    // The answer of the next start().
    bool startAccepts = true;
    QList<ExportRequest> started;
    int cancels = 0;

    bool start(const ExportRequest& request) override {
        started.append(request);
        if (startAccepts)
            running_ = true;
        return startAccepts;
    }
    void cancel() override { ++cancels; }
    bool running() const override { return running_; }

    void finish(const ExportReport& report) {
        running_ = false;
        emit finished(report);
    }

private:
    bool running_ = false;
};

// A medium's titles as the test lays them down; the lookups come from the pool thread the window
// reads them on.
class FakeTitleReader {
public:
    void set(const TitleList& list) {
        const QMutexLocker lock(&state_->mutex);
        state_->list = list;
    }
    QStringList asked() const {
        const QMutexLocker lock(&state_->mutex);
        return state_->asked;
    }
    // Shares the state, so a read still running after the test has moved on stays harmless.
    ReadTitles reader() const {
        return [state = state_](const QString& medium) {
            const QMutexLocker lock(&state->mutex);
            state->asked.append(medium);
            return state->list;
        };
    }

private:
    struct State {
        QMutex mutex;
        TitleList list;
        QStringList asked;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};
