#include "platform/GraphicsDevice.h"

#include <QDir>

bool platform::hasGraphicsDevice() {
    const QStringList dri = QDir(QStringLiteral("/dev/dri"))
                                .entryList({QStringLiteral("renderD*"), QStringLiteral("card*")},
                                           QDir::System | QDir::Files);
    return !dri.isEmpty() || QFileInfo::exists(QStringLiteral("/dev/nvidia0"));
}
