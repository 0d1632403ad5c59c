#pragma once

#include "platform/Launcher.h"

#include <QList>
#include <QStringList>
#include <QUrl>

// Stands in for the desktop while it lives: records every link or file that would have been opened
// and every program that would have been started, and answers with the scripted results.
struct RecordingLauncher {
    QList<QUrl> openedUrls;
    QStringList startedPrograms;
    bool openUrlSucceeds = true;
    bool startSucceeds = true;
    QStringList schemeHandlers; // schemes the desktop has a program for

    RecordingLauncher() {
        platform::setLauncherHooks(
            {[this](const QUrl& url) {
                 openedUrls.append(url);
                 return openUrlSucceeds;
             },
             [this](const QString& program) {
                 startedPrograms.append(program);
                 return startSucceeds;
             },
             [this](const QString& scheme) { return schemeHandlers.contains(scheme); }});
    }
    ~RecordingLauncher() { platform::setLauncherHooks({}); }
    RecordingLauncher(const RecordingLauncher&) = delete;
    RecordingLauncher& operator=(const RecordingLauncher&) = delete;
};
