#pragma once

#include <QString>
#include <QtGlobal>

// The six persistent settings, in the order of the lines of "Config.cfg".
struct Settings {
    quint8 imageFormat = 0;        // 0 = PNG, anything else = JPG
    QString snapshotsPath;         // base folder of the snapshot folders
    QString snapshotPrefix;        // first characters of every image file name
    quint8 hideIntervalPrompt = 0; // 0 = ask for the timed-capture interval every time
    qint32 snapshotInterval = 0;   // timed-capture interval in milliseconds
    QString languageFile;          // pack file name in "Lang", with ".ini"

    // The process-wide record every part of the program reads and writes.
    static Settings& current();
    // The values a new "Config.cfg" holds.
    static Settings defaults();

    bool operator==(const Settings&) const = default;
};
