#include "app/ExportJobs.h"

#include "export/TitleExport.h"

TitleExportJobs::TitleExportJobs(QObject* parent)
    : ExportJobs(parent), export_(std::make_unique<TitleExport>()) {
    connect(export_.get(), &TitleExport::progressed, this, &ExportJobs::progressed);
    connect(export_.get(), &TitleExport::finished, this, &ExportJobs::finished);
}

TitleExportJobs::~TitleExportJobs() = default;

bool TitleExportJobs::start(const ExportRequest& request) {
    return export_->start(request);
}

void TitleExportJobs::cancel() {
    export_->cancel();
}

bool TitleExportJobs::running() const {
    return export_->running();
}

TitleList TitleExportJobs::titles(const QString& medium) {
    return TitleExport::titles(medium);
}
