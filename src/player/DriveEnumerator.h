#pragma once

#include "platform/DriveSource.h"

#include <QString>
#include <QStringList>

#include <functional>

// Builds the list behind the File menu's drive items: one caption per CD/DVD drive, the volume
// label followed by " (" + drive + ")", and the drive names of the drives whose disc could be read.
class DriveEnumerator {
public:
    // insertDvdText gives the (translated) text shown in place of the label of a drive without a
    // readable disc.
    DriveEnumerator(DriveSource& source, std::function<QString()> insertDvdText);

    // Rebuilds driveMenuCaptions (one entry per drive, in drive order) and driveRoots, and returns
    // the number of drives. With no drive at all the captions are emptied, 0 is returned and
    // driveRoots is left as it was.
    int ListDvdDrives(QStringList& driveMenuCaptions);

    // The volume label a caption was made from: the caption without its five-character tail
    // " (D:)". Empty for a caption too short to have that tail.
    static QString labelFromCaption(const QString& caption);

    // driveRoots[i] is the drive name behind driveMenuCaptions[i]. Written only for drives whose
    // disc could be read; the entries of the others are stale or empty and must not be used.
    QStringList driveRoots;

private:
    DriveSource& source_;
    std::function<QString()> insertDvdText_;
};
