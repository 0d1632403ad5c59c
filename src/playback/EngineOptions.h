#pragma once

#include "settings/Settings.h"

#include <QStringList>

// A disc's volume label comes from the disc, so it is made one harmless folder-name component
// before it names a folder: path separators and control characters become "_", leading and
// trailing blanks are dropped, and leading or trailing dots become "_" (no ".", "..", or hidden
// folder). An empty label stays empty.
QString safeLabelComponent(const QString& label);

// The folder a disc's snapshots go to: snapshotsPath, a separator, the volume label (made safe)
// and " Images". The separator is always inserted, even after a path that already ends in one.
QString snapshotFolder(const Settings& settings, const QString& discLabel);

// The five options handed to the engine with every disc.
QStringList buildEngineOptions(const Settings& settings, const QString& discLabel);
QString snapshotPathOption(const Settings& settings, const QString& discLabel);
