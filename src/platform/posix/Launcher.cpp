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

bool canOpenScheme(const QString& scheme) {
    if (hooks().hasSchemeHandler)
        return hooks().hasSchemeHandler(scheme);
    // The freedesktop opener's own answer; no xdg-mime, or no answer in time, is no handler.
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("x-scheme-handler/") + scheme});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
}

void setLauncherHooks(const LauncherHooks& installed) {
    hooks() = installed;
}

} // namespace platform
