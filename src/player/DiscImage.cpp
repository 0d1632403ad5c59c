#include "player/DiscImage.h"

#include "platform/VolumeLabel.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>

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

QString pathOfArgument(const QString& argument) {
    if (argument.isEmpty())
        return {};
    // "C:/x" on Windows and a path with a colon in a folder name are paths, not URIs.
    const QUrl url(argument, QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1) {
        if (!url.isLocalFile())
            return {};
        return QDir::cleanPath(url.toLocalFile());
    }
    return QDir::cleanPath(QDir::current().absoluteFilePath(QDir::fromNativeSeparators(argument)));
}

bool isDiscPath(const QString& path) {
    const QFileInfo info(path);
    if (info.isFile())
        return info.suffix().compare(QLatin1String("iso"), Qt::CaseInsensitive) == 0;
    if (!info.isDir())
        return false;
    if (named(info, QLatin1String("VIDEO_TS")))
        return true;
    const QStringList inside = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return std::any_of(inside.begin(), inside.end(), [](const QString& name) {
        return name.compare(QLatin1String("VIDEO_TS"), Qt::CaseInsensitive) == 0;
    });
}
