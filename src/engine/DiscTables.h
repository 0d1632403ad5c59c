#pragma once

#include <QString>

// libdvdread (6.1) trusts the disc's tables too far: a hostile or damaged VIDEO_TS.IFO or title
// set table can make it free memory twice or read through a null pointer, and the process that
// asked dies. So before this program reads a medium's tables itself, they are read once in a copy
// of the process: true when libdvdread opened the disc and every title set's tables there and came
// back (whether or not it found them usable); false when it crashed or hung doing so. Reading the
// same files again is then as safe as reading them was in the copy. Takes a few milliseconds.
bool discTablesAreSafe(const QString& medium);
