#pragma once

#include "export/ExportRequest.h"

#include <QObject>
#include <functional>
#include <memory>

class TitleExport;

// The exporter as the main window drives it: one export at a time, its progress and its end
// told on the user-interface thread. The program's is TitleExportJobs; tests drive their own.
class ExportJobs : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // False when an export is running already.
    virtual bool start(const ExportRequest& request) = 0;
    virtual void cancel() = 0;
    virtual bool running() const = 0;

signals:
    void progressed(const ExportProgress& progress);
    // Once per start that returned true.
    void finished(const ExportReport& report);
};

// Reads the titles of a medium; runs off the user-interface thread, so it must not reach any
// object the window owns.
using ReadTitles = std::function<TitleList(const QString& medium)>;

// The program's exporter.
class TitleExportJobs : public ExportJobs {
    Q_OBJECT
public:
    explicit TitleExportJobs(QObject* parent = nullptr);
    // Stops a running export and waits for it.
    ~TitleExportJobs() override;

    bool start(const ExportRequest& request) override;
    void cancel() override;
    bool running() const override;

    static TitleList titles(const QString& medium);

private:
    std::unique_ptr<TitleExport> export_;
};
