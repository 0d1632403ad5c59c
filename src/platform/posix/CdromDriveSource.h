#pragma once

#include "platform/DriveSource.h"

#include <QString>
#include <QStringList>

// The CD/DVD drives the kernel lists in its cdrom information file. Drives are named "D:", "E:", …
// in the sorted order of their device names (sr0 → D:, sr1 → E:), so that every drive name has the
// two characters the drive menu captions rely on. Labels are read with libblkid from
// deviceFolder/<device name>, which may also be a disc image.
class CdromDriveSource : public DriveSource {
public:
    explicit CdromDriveSource(const QString& infoPath = "/proc/sys/dev/cdrom/info",
                              const QString& deviceFolder = "/dev");

    // Re-reads the information file on every call; the drive names map to the devices of the
    // latest listing until the next one.
    QStringList cdDrives() override;
    bool volumeLabel(const QString& drive, QString* label) override;
    QString mediaPath(const QString& drive) override;

    // The device names on the "drive name:" row of an information file's text, in the order the
    // drives are given their names. Empty when there is no such row.
    static QStringList deviceNamesFromInfo(const QByteArray& info);

private:
    QString deviceOf(const QString& drive);

    QString infoPath_;
    QString deviceFolder_;
    QStringList devices_; // devices_[i] is the drive named 'D' + i
    bool listed_ = false;
};
