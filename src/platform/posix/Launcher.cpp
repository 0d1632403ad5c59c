#include "platform/Launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace platform {
namespace {
LauncherHooks& hooks() {
    static LauncherHooks installed;
    return installed;
}

// A drive-letter path such as "C:/x" parses with a one-letter scheme; it is a path, not a link.
bool isLink(const QUrl& url) {
    return url.isValid() && url.scheme().size() > 1;
}

bool openUrl(const QUrl& url) {
    if (hooks().openUrl)
        return hooks().openUrl(url);
    return QDesktopServices::openUrl(url);
}
} // namespace

bool openDocument(const QString& pathOrUrl) {
    if (pathOrUrl.isEmpty())
        return false;
    const QUrl asUrl(pathOrUrl);
    QString localPath = pathOrUrl;
    if (isLink(asUrl)) {
        if (!asUrl.isLocalFile())
            return openUrl(asUrl);
        localPath = asUrl.toLocalFile();
    }
    const QFileInfo file(localPath);
    if (!file.exists())
        return false;
    return openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

bool startProgram(const QString& path) {
    const QFileInfo program(path);
    if (!program.exists() || !program.isFile() || !program.isExecutable())
        return false;
    const QString absolute = program.absoluteFilePath();
    if (hooks().startDetached)
        return hooks().startDetached(absolute);
    return QProcess::startDetached(absolute, {});
}

void setLauncherHooks(const LauncherHooks& installed) {
    hooks() = installed;
}

} // namespace platform
