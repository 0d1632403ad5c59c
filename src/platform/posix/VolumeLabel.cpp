#include "platform/VolumeLabel.h"

#include <QFile>

#include <cstring>

#include <blkid/blkid.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

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

bool readVolumeLabel(const QString& path, QString* label) {
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

} // namespace platform
