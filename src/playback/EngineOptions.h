#pragma once

#include "settings/Settings.h"

#include <QStringList>

// The folder a disc's snapshots go to: snapshotsPath, a separator, the volume label and " Images".
// The separator is always inserted, even after a path that already ends in one.
QString snapshotFolder(const Settings& settings, const QString& discLabel);

// The five options handed to the engine with every disc.
QStringList buildEngineOptions(const Settings& settings, const QString& discLabel);
QString snapshotPathOption(const Settings& settings, const QString& discLabel);
