#pragma once

#include <QString>
#include <QStringList>

// Where the CD/DVD drives of the machine come from. Drives are named by two characters, a letter
// and a colon ("D:", "E:", …), in a stable order.
class DriveSource {
public:
    virtual ~DriveSource() = default;

    // The machine's CD/DVD drives, in order.
    virtual QStringList cdDrives() = 0;
    // The volume label of the disc in drive; false when no readable disc is there.
    virtual bool volumeLabel(const QString& drive, QString* label) = 0;
    // What the media engine opens for drive (a device node or a disc image); empty if unknown.
    virtual QString mediaPath(const QString& drive) = 0;
};
