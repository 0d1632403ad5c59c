#pragma once

#include <QString>

// The folder the program runs from: language packs, skin, settings and logs live here.
// The application sets it from QCoreApplication::applicationDirPath(); tests point it at a
// temporary folder.
namespace platform {

QString programFolder();
void setProgramFolder(const QString& folder);

// programFolder() + native separator + name, the way every file beside the program is addressed.
QString programFile(const QString& name);

} // namespace platform
