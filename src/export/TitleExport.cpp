#include "export/TitleExport.h"

#include "export/DiscReader.h"
#include "export/ExportRun.h"
#include "platform/ThreadPriority.h"

TitleExport::TitleExport(QObject* parent) : QObject(parent) {
    qRegisterMetaType<ExportProgress>();
    qRegisterMetaType<ExportReport>();
}

TitleExport::~TitleExport() {
    cancel();
    if (worker_.joinable())
        worker_.join();
}

TitleList TitleExport::titles(const QString& medium) {
    QString detail;
    std::unique_ptr<DiscReader> reader = DiscReader::open(medium, &detail);
    if (!reader) {
        TitleList list;
        list.problem = TitleList::Problem::Unreadable;
        list.detail = detail;
        return list;
    }
    TitleList list = reader->titles();
    // A title that cannot be read without a decryption library is said so before the dialog.
    if (!list.titles.empty()) {
        QString ignored;
        if (const auto plan = reader->plan(list.titles.front().number, 1, 0, &ignored);
            plan && reader->encrypted(*plan)) {
            list.problem = TitleList::Problem::Encrypted;
            list.detail = QStringLiteral("%1 is encrypted").arg(medium);
        }
    }
    return list;
}

bool TitleExport::start(const ExportRequest& request) {
    if (running_.load())
        return false;
    if (worker_.joinable())
        worker_.join(); // the last export's thread has ended or is about to
    running_ = true;
    cancelled_ = false;
    worker_ = std::thread([this, request] { run(request); });
    return true;
}

void TitleExport::cancel() {
    cancelled_ = true;
}

bool TitleExport::running() const {
    return running_.load();
}

// The signals are emitted on the worker thread; receivers on the user-interface thread get them
// queued.
void TitleExport::run(ExportRequest request) {
    // Playback and the window come first; the decoder's threads, started from here, inherit it.
    platform::lowerCurrentThreadPriority();
    ExportRun exportRun{request, cancelled_,
                        [this](const ExportProgress& progress) { emit progressed(progress); }};
    const ExportReport report = exportRun.run();
    running_ = false;
    emit finished(report);
}
