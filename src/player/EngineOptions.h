#pragma once

#include "settings/Settings.h"

#include <QStringList>

// The five options handed to the engine with every disc.
QStringList buildEngineOptions(const Settings& settings, const QString& discLabel);
// The second of them: "snapshot-path=" and the disc's snapshot folder.
QString snapshotPathOption(const Settings& settings, const QString& discLabel);
