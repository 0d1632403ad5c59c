#include "capture/StillFiles.h"

#include "capture/PngEncoder.h"
#include "capture/SnapshotFolder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <cerrno>
#include <cstring>

QByteArray StillFiles::encode(const QImage& image, SnapshotFormat format, QString* error) {
    QByteArray bytes;
    if (format == SnapshotFormat::Jpg) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpg");
        writer.setQuality(kJpgQuality);
        if (!writer.write(image)) {
            *error = writer.errorString();
            return {};
        }
        return bytes;
    }
    bytes = PngEncoder::encode(image);
    if (bytes.isEmpty())
        *error = QStringLiteral("the PNG encoder failed (picture too large or out of memory)");
    return bytes;
}

StillFiles::Written StillFiles::write(const QString& folderPath, const QString& prefix,
                                      SnapshotFormat format, const QByteArray& bytes,
                                      int* nextNumber) {
    const QString folder = folderPath.isEmpty() ? QString() : QDir::cleanPath(folderPath);
    auto fail = [](const QString& detail, const QString& reason) {
        return Written{false, QString(), detail, reason};
    };
    const QString unusable = prepareSnapshotFolder(folder);
    if (!unusable.isEmpty())
        return fail(QStringLiteral("the snapshot folder %1 cannot be used").arg(folder), unusable);

    for (;; ++*nextNumber) {
        if (*nextNumber <= 0)
            return fail(QStringLiteral("no free file name is left in %1").arg(folder),
                        QStringLiteral("No free file name is left."));
        const QString path =
            folder + QLatin1Char('/') + snapshotFileName(prefix, *nextNumber, format);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
                continue; // taken: try the next number
            return fail(QStringLiteral("cannot create %1: %2").arg(path, file.errorString()),
                        file.errorString());
        }
        errno = 0;
        const bool written = file.write(bytes) == bytes.size() && file.flush();
        // A short write (full disk) leaves Qt without an error text: the system's words then.
        const int writeErrno = errno;
        QString reason;
        if (!written)
            reason = file.error() != QFileDevice::NoError ? file.errorString()
                     : writeErrno != 0 ? QString::fromLocal8Bit(std::strerror(writeErrno))
                                       : QStringLiteral("The file was written incompletely.");
        file.close();
        if (!written || file.error() != QFileDevice::NoError) {
            if (reason.isEmpty())
                reason = file.errorString();
            const QString detail = QStringLiteral("cannot write %1: %2").arg(path, reason);
            file.remove(); // the number is free again for the next image
            return fail(detail, reason);
        }
        ++*nextNumber;
        return Written{true, path, QString(), QString()};
    }
}
