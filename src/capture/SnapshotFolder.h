#pragma once

#include "engine/SnapshotSink.h"

#include <QString>

struct Settings;

// A disc's volume label comes from the disc, so it is made one harmless folder-name component
// before it names a folder: path separators and control characters become "_", leading and
// trailing blanks are dropped, and leading or trailing dots become "_" (no ".", "..", or hidden
// folder). An empty label stays empty.
QString safeLabelComponent(const QString& label);

// The folder a disc's snapshots go to: snapshotsPath, a separator, the volume label (made safe)
// and " Images". The separator is always inserted, even after a path that already ends in one.
QString snapshotFolder(const Settings& settings, const QString& discLabel);

// Makes sure the snapshot folder is there, creating it (one level, never its parents) when it is
// missing. Empty when it is a folder now; otherwise why not, in the words the user is shown.
QString prepareSnapshotFolder(const QString& folder);

// "IMG_00042.png": prefix (kept inside its folder), five-digit sequence number, extension of
// the format.
QString snapshotFileName(const QString& prefix, int number, SnapshotFormat format);
