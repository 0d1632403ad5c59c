#include "platform/posix/CdromDriveSource.h"

#include "platform/VolumeLabel.h"

#include <QFile>

#include <algorithm>

namespace {

constexpr char firstLetter = 'D';
constexpr int maxDrives = 'Z' - firstLetter + 1;
// The kernel's information file is a few hundred bytes; anything far larger is not one.
constexpr qint64 maxInfoSize = 64 * 1024;

// Orders "sr2" before "sr10": runs of digits compare by value, everything else by character.
bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            // Compare the digit runs as numbers of any length: strip leading zeros, then the
            // longer run is the larger number, equal lengths compare as text.
            QStringView da = QStringView(a).mid(i, ei - i), db = QStringView(b).mid(j, ej - j);
            while (da.size() > 1 && da.front() == u'0')
                da = da.mid(1);
            while (db.size() > 1 && db.front() == u'0')
                db = db.mid(1);
            if (da.size() != db.size())
                return da.size() < db.size();
            if (const int c = da.compare(db); c != 0)
                return c < 0;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    return a < b;
}

// A name that, joined to the device folder, stays inside it.
bool isPlainDeviceName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(u'/') && !name.contains(QChar(0));
}

} // namespace

CdromDriveSource::CdromDriveSource(const QString& infoPath, const QString& deviceFolder)
    : infoPath_(infoPath), deviceFolder_(deviceFolder) {}

QStringList CdromDriveSource::deviceNamesFromInfo(const QByteArray& info) {
    static const QByteArray rowName = QByteArrayLiteral("drive name:");
    QStringList names;
    for (const QByteArray& line : info.split('\n')) {
        if (!line.startsWith(rowName))
            continue;
        for (const QByteArray& field : line.mid(rowName.size()).simplified().split(' ')) {
            const QString name = QString::fromLocal8Bit(field);
            if (isPlainDeviceName(name) && !names.contains(name))
                names.append(name);
        }
        break;
    }
    std::sort(names.begin(), names.end(), naturalLess);
    if (names.size() > maxDrives)
        names.resize(maxDrives);
    return names;
}

QStringList CdromDriveSource::cdDrives() {
    devices_.clear();
    listed_ = true;
    QFile file(infoPath_);
    // Files under /proc report a size of 0, so read up to a bound rather than by size.
    if (file.open(QIODevice::ReadOnly))
        devices_ = deviceNamesFromInfo(file.read(maxInfoSize));

    QStringList drives;
    for (qsizetype i = 0; i < devices_.size(); ++i)
        drives.append(QString(QChar(firstLetter + int(i))) + u':');
    return drives;
}

QString CdromDriveSource::deviceOf(const QString& drive) {
    if (drive.size() != 2 || drive[1] != u':')
        return {};
    const int index = drive[0].toUpper().unicode() - firstLetter;
    if (index < 0 || index >= maxDrives)
        return {};
    if (!listed_)
        cdDrives();
    return index < devices_.size() ? devices_[index] : QString();
}

QString CdromDriveSource::mediaPath(const QString& drive) {
    const QString device = deviceOf(drive);
    return device.isEmpty() ? QString() : deviceFolder_ + u'/' + device;
}

bool CdromDriveSource::volumeLabel(const QString& drive, QString* label) {
    const QString path = mediaPath(drive);
    return !path.isEmpty() && platform::readVolumeLabel(path, label);
}
