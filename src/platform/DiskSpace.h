#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// Free bytes available to the calling user on the volume holding path.
// Returns false (leaving *bytes alone) when the volume cannot be queried.
bool freeBytesAvailable(const QString& path, qint64* bytes);

} // namespace platform
