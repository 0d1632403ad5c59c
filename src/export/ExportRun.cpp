#include "export/ExportRun.h"

#include "export/ContactSheet.h"
#include "export/DiscReader.h"
#include "export/ExportWriter.h"
#include "export/SceneCuts.h"
#include "export/TitleDecoder.h"
#include "platform/ErrorLog.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstring>
#include <memory>

extern "C" {
#include <libavutil/frame.h>
}

namespace {

// A picture the export wants: as an image of its own, as a thumbnail of the sheet, or both.
struct Target {
    int64_t index = 0; // in the title
    bool image = false;
    int thumbnail = -1;
};

// The pictures of the range shown at 0, N, 2N... seconds from its start: the number of the
// picture on screen at each time, counted on the 90 kHz clock so that none drifts.
std::vector<int64_t> intervalPictures(const TitlePlan& plan, int seconds) {
    std::vector<int64_t> indices;
    for (int64_t k = 0;; ++k) {
        const int64_t offset = k * seconds * 90000 / plan.frameTicks;
        if (offset >= plan.frames)
            return indices;
        indices.push_back(plan.firstFrame + offset);
    }
}

std::vector<Target> merged(const std::vector<int64_t>& images, const std::vector<int64_t>& thumbs) {
    std::vector<Target> targets;
    for (int64_t index : images)
        targets.push_back(Target{index, true, -1});
    for (size_t i = 0; i < thumbs.size(); ++i)
        targets.push_back(Target{thumbs[i], false, int(i)});
    std::stable_sort(targets.begin(), targets.end(),
                     [](const Target& a, const Target& b) { return a.index < b.index; });
    return targets;
}

bool samePicture(const AVFrame* a, const AVFrame* b) {
    if (!a || !b || a->width != b->width || a->height != b->height || a->format != b->format)
        return false;
    for (int plane = 0; plane < 3; ++plane) {
        const int rows = plane == 0 ? a->height : (a->height + 1) / 2;
        const int bytes = plane == 0 ? a->width : (a->width + 1) / 2;
        for (int y = 0; y < rows; ++y)
            if (std::memcmp(a->data[plane] + y * a->linesize[plane],
                            b->data[plane] + y * b->linesize[plane], size_t(bytes)) != 0)
                return false;
    }
    return true;
}

} // namespace

ExportReport ExportRun::run() {
    ExportReport report;
    report.folder = request.folder;
    auto unreadable = [&](const QString& detail) {
        report.outcome = ExportReport::Outcome::Unreadable;
        report.detail = detail;
        return report;
    };
    QString detail;
    std::unique_ptr<DiscReader> reader = DiscReader::open(request.medium, &detail);
    if (!reader)
        return unreadable(detail);
    const auto plan =
        reader->plan(request.title, request.firstChapter, request.lastChapter, &detail);
    if (!plan)
        return unreadable(detail);
    if (reader->encrypted(*plan)) {
        report.outcome = ExportReport::Outcome::Encrypted;
        report.detail = QStringLiteral("title %1 is encrypted").arg(request.title);
        return report;
    }
    TitleDecoder decoder(*reader, *plan);
    decoder.cancel = &cancelled;
    decoder.onUnreadable = [&](uint32_t sector) {
        WriteErrorLog(QStringLiteral("Export of title %1 from %2: sector %3 cannot be read; "
                                     "unreadable sectors are left out")
                          .arg(request.title)
                          .arg(request.medium)
                          .arg(sector));
    };
    if (!decoder.open(&detail))
        return unreadable(detail);

    const bool sheet = request.sheet || request.mode == ExportMode::SheetOnly;
    const SheetLayout layout = ContactSheet::clamped(request.sheetLayout);
    const int thumbCount = sheet ? layout.columns * layout.rows : 0;
    const qint64 rangeMs = qint64(plan->frames * 1000.0 / plan->frameRate);
    std::vector<int64_t> thumbs;
    std::vector<qint64> thumbTimes;
    if (sheet) {
        thumbTimes = ContactSheet::times(thumbCount, rangeMs);
        for (qint64 ms : thumbTimes)
            thumbs.push_back(plan->firstFrame +
                             std::min<int64_t>(plan->frames - 1, ms * 90 / plan->frameTicks));
    }
    const ContactSheet::Geometry geometry = ContactSheet::geometry(layout, plan->displaySize);
    const QSize thumbSize = geometry.pictures.empty() ? QSize() : geometry.pictures.front().size();
    ExportWriter writer(request, plan->displaySize, thumbSize, thumbCount);

    QElapsedTimer clock;
    clock.start();
    qint64 lastTold = -1000;
    auto tell = [&](double share, bool always = false) {
        const qint64 now = clock.elapsed();
        if (!progressed || (!always && now - lastTold < 100))
            return;
        lastTold = now;
        ExportProgress progress;
        progress.share = std::clamp(share, 0.0, 1.0);
        progress.images = writer.written();
        if (progress.share > 0.01 && now > 500)
            progress.msLeft = qint64(now * (1 - progress.share) / progress.share);
        progressed(progress);
    };
    auto share = [&](int64_t index) { return double(index - plan->firstFrame) / plan->frames; };

    bool writing = true;
    if (request.mode == ExportMode::EveryFrame || request.mode == ExportMode::PerShot) {
        // Every picture of the range, in order.
        const std::vector<Target> targets = merged({}, thumbs);
        size_t nextThumb = 0;
        SceneCuts cuts;
        AVFrame* previous = av_frame_alloc();
        int64_t index = 0;
        bool first = true;
        while (writing) {
            AVFrame* frame = decoder.next(&index);
            if (!frame)
                break;
            bool wanted;
            if (request.mode == ExportMode::EveryFrame) {
                wanted = !samePicture(frame, first ? nullptr : previous);
                av_frame_unref(previous);
                av_frame_ref(previous, frame);
            } else {
                wanted =
                    cuts.next(frame->data[0], frame->linesize[0], frame->width, frame->height) ||
                    first;
            }
            first = false;
            if (wanted)
                writing = writer.image(frame);
            while (writing && nextThumb < targets.size() && targets[nextThumb].index <= index)
                writing = writer.thumbnail(frame, targets[nextThumb++].thumbnail);
            tell(share(index));
        }
        av_frame_free(&previous);
    } else {
        const std::vector<Target> targets =
            merged(request.mode == ExportMode::EveryInterval
                       ? intervalPictures(*plan, std::clamp(request.intervalSeconds, 1, 600))
                       : std::vector<int64_t>{},
                   thumbs);
        int64_t last = -1;
        for (size_t t = 0; t < targets.size() && writing; ++t) {
            const Target& target = targets[t];
            // Decoding on is cheaper than a seek while the wanted picture's group is the one being
            // decoded or the next; past that, a seek skips the groups in between.
            const bool seeking =
                last < 0 || target.index <= last || decoder.groupStart(target.index) > last + 1;
            decoder.want(target.index);
            if (seeking)
                decoder.seek(target.index);
            int64_t index = -1;
            AVFrame* frame = nullptr;
            while ((frame = decoder.next(&index)) && index < target.index)
                last = index;
            // Past it at once: the wanted picture leads an open group, whose pictures need the
            // group before.
            if (frame && seeking && index > target.index) {
                decoder.seek(target.index, 1);
                while ((frame = decoder.next(&index)) && index < target.index)
                    last = index;
            }
            if (!frame)
                break;
            last = index;
            if (target.image)
                writing = writer.image(frame);
            if (writing && target.thumbnail >= 0)
                writing = writer.thumbnail(frame, target.thumbnail);
            tell(share(target.index));
        }
    }

    if (cancelled.load()) {
        writer.stop();
        writer.finish();
        report.outcome = ExportReport::Outcome::Cancelled;
    } else {
        writer.finish();
        if (sheet && !writer.failed()) {
            const QImage composed = ContactSheet::compose(
                layout, plan->displaySize, request.discLabel, request.title, rangeMs,
                writer.takeThumbnails(), thumbTimes, request.titleName);
            writer.writeImage(composed, request.prefix + QStringLiteral("sheet_"));
        }
    }
    if (writer.failed()) {
        report.outcome = ExportReport::Outcome::WriteFailed;
        report.reason = writer.failedReason();
        report.detail = writer.failedDetail();
    }
    report.images = writer.written();
    report.skippedSectors = decoder.skippedSectors();
    tell(1.0, true);
    return report;
}
