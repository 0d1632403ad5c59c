#include "player/DiscImage.h"

#include "platform/VolumeLabel.h"

#include <QDir>
#include <QFileInfo>

namespace {
bool named(const QFileInfo& info, QLatin1String name) {
    return info.fileName().compare(name, Qt::CaseInsensitive) == 0;
}
} // namespace

QString discPathOf(const QString& picked) {
    if (picked.isEmpty())
        return {};
    QFileInfo info(QDir::cleanPath(QDir::fromNativeSeparators(picked)));
    if (info.isFile() && named(info, QLatin1String("VIDEO_TS.IFO")))
        info = QFileInfo(info.absolutePath());
    if (info.isDir() && named(info, QLatin1String("VIDEO_TS")))
        info = QFileInfo(info.absolutePath());
    return info.absoluteFilePath();
}

QString discLabelOf(const QString& discPath) {
    const QFileInfo info(discPath);
    if (info.isDir())
        return info.fileName();
    QString label;
    return platform::readVolumeLabel(discPath, &label) ? label : QString();
}
