#include "settings/Settings.h"

#include <QDir>

Settings& Settings::current() {
    static Settings record;
    return record;
}

Settings Settings::defaults() {
    Settings values;
    values.imageFormat = 0;
#ifdef Q_OS_WIN
    values.snapshotsPath = QStringLiteral("C:\\");
#else
    // The home folder takes the place of the first hard disk's root.
    values.snapshotsPath = QDir::toNativeSeparators(QDir::homePath());
    if (!values.snapshotsPath.endsWith(QDir::separator()))
        values.snapshotsPath += QDir::separator();
#endif
    values.snapshotPrefix = QStringLiteral("IMG_");
    values.hideIntervalPrompt = 0;
    values.snapshotInterval = 5000;
    values.languageFile = QStringLiteral("English.ini");
    return values;
}
