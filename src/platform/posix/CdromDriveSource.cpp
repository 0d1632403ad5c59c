#include "platform/posix/CdromDriveSource.h"

#include <QFile>

#include <algorithm>
#include <cstring>

#include <blkid/blkid.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

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

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

class Probe {
public:
    Probe() : probe_(blkid_new_probe()) {}
    ~Probe() {
        if (probe_)
            blkid_free_probe(probe_);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
    blkid_probe get() const { return probe_; }

private:
    blkid_probe probe_;
};

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
    if (path.isEmpty())
        return false;

    // Non-blocking open: an optical drive with an empty or open tray must answer at once instead
    // of trying to load a disc.
    const FileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return false;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return false;
    if (S_ISBLK(info.st_mode)) {
        // Ask the drive before reading: an empty, open or spinning-up drive would make every read
        // fail slowly. Devices that cannot tell (or are no optical drive) are probed as they are.
        const int status = ::ioctl(fd.get(), CDROM_DRIVE_STATUS, CDSL_CURRENT);
        if (status == CDS_NO_DISC || status == CDS_TRAY_OPEN || status == CDS_DRIVE_NOT_READY)
            return false;
    } else if (!S_ISREG(info.st_mode)) {
        return false;
    }

    const Probe probe;
    if (!probe.get() || blkid_probe_set_device(probe.get(), fd.get(), 0, 0) != 0)
        return false;
    blkid_probe_enable_partitions(probe.get(), 0);
    blkid_probe_enable_superblocks(probe.get(), 1);
    blkid_probe_set_superblocks_flags(probe.get(), BLKID_SUBLKS_LABEL | BLKID_SUBLKS_TYPE);
    // Only the file systems of optical discs: the other probers read areas all over the medium
    // (some near its end), which costs long seeks on a disc.
    static char udf[] = "udf";
    static char iso9660[] = "iso9660";
    static char* opticalTypes[] = {udf, iso9660, nullptr};
    blkid_probe_filter_superblocks_type(probe.get(), BLKID_FLTR_ONLYIN, opticalTypes);

    if (blkid_do_safeprobe(probe.get()) != 0)
        return false;

    QString found;
    const char* value = nullptr;
    size_t length = 0;
    if (blkid_probe_lookup_value(probe.get(), "LABEL", &value, &length) == 0 && value)
        found = QString::fromUtf8(value, qsizetype(strnlen(value, length)));
    if (label)
        *label = found;
    return true;
}
