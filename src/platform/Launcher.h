#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Hands files, links and programs to the desktop. The caller does not wait for what it starts and
// hears back only whether the start succeeded.
namespace platform {

// Opens a document, a folder or a link with the desktop's default application. A text with a
// scheme ("https:", "mailto:", "file:") is a link; anything else is a local path, and a local path
// that does not exist fails without the desktop being asked.
bool openDocument(const QString& pathOrUrl);

// Starts a program detached, without arguments, in the caller's working folder. A path that is
// missing, not a file or not executable fails without a start being attempted.
bool startProgram(const QString& path);

// Whether the desktop has a program for links of a scheme ("appstream"), so that opening one
// does more than fail quietly inside the desktop's opener.
bool canOpenScheme(const QString& scheme);

// The desktop calls behind the functions above. Tests put recorders here so that no browser
// or program is really started; an empty member stands for the real call.
struct LauncherHooks {
    std::function<bool(const QUrl& url)> openUrl;                // QDesktopServices::openUrl
    std::function<bool(const QString& program)> startDetached;   // QProcess::startDetached
    std::function<bool(const QString& scheme)> hasSchemeHandler; // xdg-mime's default handler
};
void setLauncherHooks(const LauncherHooks& hooks);

} // namespace platform
