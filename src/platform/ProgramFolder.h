#pragma once

#include <QString>

// The folder the program runs from: language packs, skin and help pages are read there.
// The application sets it from QCoreApplication::applicationDirPath(); tests point it at a
// temporary folder.
namespace platform {

QString programFolder();
void setProgramFolder(const QString& folder);

// programFolder() + native separator + name, the way every file beside the program is addressed.
QString programFile(const QString& name);

// Where the files the program writes itself live (settings, logs): the program folder while it
// may be written to (a build folder or a portable copy), otherwise the user's own configuration
// folder (an installed copy), created when needed.
QString writableFolder();
QString writableFile(const QString& name);

// The per-user folder used when the program folder is read-only; empty restores QStandardPaths'
// per-application configuration location.
void setUserFolder(const QString& folder);

} // namespace platform
