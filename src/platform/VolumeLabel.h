#pragma once

#include <QString>

namespace platform {

// The volume label of the disc file system (UDF or ISO 9660) on a device or in a disc image
// file. False when path holds no readable disc: no such file, an optical drive without a disc,
// or no disc file system. A disc without a label gives true and an empty label.
bool readVolumeLabel(const QString& path, QString* label);

} // namespace platform
