#include "player/DriveEnumerator.h"

#include <utility>

namespace {
// " (" + two-character drive name + ")"
constexpr qsizetype captionTailLength = 5;
} // namespace

DriveEnumerator::DriveEnumerator(DriveSource& source, std::function<QString()> insertDvdText)
    : source_(source), insertDvdText_(std::move(insertDvdText)) {}

int DriveEnumerator::ListDvdDrives(QStringList& driveMenuCaptions) {
    driveMenuCaptions = QStringList{QString()};
    int count = 0;

    for (const QString& drive : source_.cdDrives()) {
        ++count;
        driveMenuCaptions.resize(count);
        driveRoots.resize(count);

        QString label;
        QString& caption = driveMenuCaptions[count - 1];
        if (source_.volumeLabel(drive, &label)) {
            driveRoots[count - 1] = drive;
            // A label ends at its first NUL, as a C string would.
            const qsizetype nul = label.indexOf(QChar(0));
            caption = nul < 0 ? label : label.left(nul);
        } else {
            caption = insertDvdText_ ? insertDvdText_() : QString();
        }
        caption += QStringLiteral(" (") + drive + u')';
    }

    if (driveMenuCaptions.first().isEmpty()) {
        driveMenuCaptions.clear();
        return 0;
    }
    return count;
}

QString DriveEnumerator::labelFromCaption(const QString& caption) {
    if (caption.size() < captionTailLength)
        return {};
    return caption.left(caption.size() - captionTailLength);
}
