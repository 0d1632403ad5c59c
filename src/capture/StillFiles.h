#pragma once

#include "engine/SnapshotSink.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// Encoding and writing still images, shared by the snapshot writer and the title export so that
// both give the same files.
namespace StillFiles {

inline constexpr int kJpgQuality = 90;

// The file's bytes of an image in the format, or empty with *error saying why.
QByteArray encode(const QImage& image, SnapshotFormat format, QString* error);

struct Written {
    bool ok = false;
    QString path;   // the file written
    QString detail; // when not: what failed, for the error log
    QString reason; // when not: the system's words, for the user
};

// Writes bytes to a new file of the folder under the first free name from *nextNumber on
// (prefix, number, format's extension), and moves *nextNumber past it. The file is created
// exclusively, so an existing image is never overwritten, and removed again if it cannot be
// written completely, so no partial file stays. A missing folder is created (one level).
Written write(const QString& folder, const QString& prefix, SnapshotFormat format,
              const QByteArray& bytes, int* nextNumber);

} // namespace StillFiles
