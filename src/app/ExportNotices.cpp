#include "app/ExportNotices.h"

#include "capture/CaptureFailures.h"
#include "capture/SnapshotFolder.h"
#include "i18n/LanguageReader.h"
#include "platform/ErrorLog.h"
#include "platform/MessageBoxes.h"
#include "settings/Settings.h"

#include <QDir>

namespace {
const QString kMethod = QStringLiteral("exportTitle_Click");

// A problem with the disc itself: the user hears the caption, the log what exactly went wrong.
void tellDiscProblem(MessageBoxes& boxes, const CaptionText& text, const QString& detail,
                     const QString& medium) {
    const QString description = detail.isEmpty() ? QString::fromUtf8(text.defaultText) : detail;
    WriteErrorLog(QStringLiteral("Error Description: ") + description +
                  QStringLiteral(", Medium: ") + QDir::toNativeSeparators(medium) +
                  QStringLiteral(", Method: ") + kMethod);
    boxes.notify(caption(text), caption(Caption::ErrorTitle), MessageBoxes::Icon::Critical);
}

QString figureLine(const CaptionText& label, quint64 figure) {
    return caption(label) + u' ' + QString::number(figure);
}
} // namespace

ExportRequest completeRequest(ExportRequest chosen, const Settings& settings, const QString& medium,
                              const QString& discLabel) {
    chosen.medium = medium;
    chosen.discLabel = discLabel;
    // The sheet is drawn off this thread, where the language pack is not read.
    chosen.titleName = caption(Caption::TitleEntryName).arg(chosen.title);
    chosen.folder = snapshotFolder(settings, discLabel);
    chosen.prefix = settings.snapshotPrefix;
    chosen.format = settings.imageFormat == 0 ? SnapshotFormat::Png : SnapshotFormat::Jpg;
    return chosen;
}

void tellExportReport(MessageBoxes& boxes, const ExportReport& report, const QString& medium) {
    using Outcome = ExportReport::Outcome;
    switch (report.outcome) {
    case Outcome::WriteFailed:
        tellImagesNotSaved(boxes, report.folder, report.reason, kMethod);
        return;
    case Outcome::Unreadable:
        tellDiscProblem(boxes, Caption::ExportUnreadable, report.detail, medium);
        return;
    case Outcome::Encrypted:
        tellDiscProblem(boxes, Caption::ExportEncrypted, report.detail, medium);
        return;
    case Outcome::Done:
    case Outcome::Cancelled:
        break;
    }
    QStringList lines{
        caption(report.outcome == Outcome::Done ? Caption::ExportDone : Caption::ExportStopped),
        figureLine(Caption::ExportImagesWritten, report.images)};
    if (report.skippedSectors > 0)
        lines << figureLine(Caption::ExportSectorsSkipped, report.skippedSectors);
    // The folder as a file manager shows it (the snapshot path may end in a separator).
    if (report.images > 0 && !report.folder.isEmpty())
        lines << QDir::toNativeSeparators(QDir::cleanPath(report.folder));
    boxes.notify(lines.join(u'\n'), caption(Caption::ExportDialogTitle),
                 MessageBoxes::Icon::Information);
}

bool tellTitleListProblem(MessageBoxes& boxes, const TitleList& list, const QString& medium) {
    switch (list.problem) {
    case TitleList::Problem::Encrypted:
        tellDiscProblem(boxes, Caption::ExportEncrypted, list.detail, medium);
        return true;
    case TitleList::Problem::Unreadable:
        tellDiscProblem(boxes, Caption::ExportUnreadable, list.detail, medium);
        return true;
    case TitleList::Problem::None:
        break;
    }
    if (!list.titles.empty())
        return false;
    // Tables that list no title leave nothing to choose from: as good as unreadable.
    tellDiscProblem(
        boxes, Caption::ExportUnreadable,
        list.detail.isEmpty() ? QStringLiteral("The disc lists no title.") : list.detail, medium);
    return true;
}
