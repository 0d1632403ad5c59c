#pragma once

#include "settings/Settings.h"

#include <QString>

// "Config.cfg": six lines without keys, in the order of the Settings members. Text is UTF-8 (bytes
// that are not valid UTF-8 are read as Windows-1252, and written back as UTF-8); lines end in CR
// LF when written, CR LF, LF or CR is accepted when read. Only a regular file of at most 64 KiB is
// read.
namespace SettingsFile {

// Where the program keeps its settings: beside the program, or in the user's configuration
// folder when the program folder is read-only.
QString path();

// Reads the six settings. Number lines ignore surrounding blanks and take the number the line
// starts with (sign, digits, optional fraction; a fraction is rounded to the nearest whole
// number, halves to even; "12abc" gives 12, "1.5" and "2.5" give 2); a line that starts with no
// number gives 0. Text lines are taken as they stand. Lines after the sixth are ignored, and an
// empty or blank sixth line means "English.ini" (the file is not changed).
// Returns false when the file is missing, cannot be read, has fewer than six lines or holds a
// number outside its setting's range; `record` is then left untouched.
bool read(const QString& path, Settings& record);
// The same reading of a file's bytes.
bool parse(const QByteArray& content, Settings& record);

// Replaces the file by the default file (numbers without blanks) and sets `record` to the
// defaults. Returns false when the default file could not be written; `record` holds the
// defaults all the same.
bool recover(const QString& path, Settings& record);

// Saves all six settings, numbers as blank-digits-blank. The new content is written beside the
// file and then renamed over it, so a failed save keeps the previous file. Returns false when
// the file could not be written, or when a text setting holds an LF (it could not be read back as
// the same six lines), or when the file is a symbolic link to something that is no regular file.
// Temporary files left beside it by an interrupted save are removed first.
bool write(const QString& path, const Settings& record);
// What write() puts into the file.
QByteArray savedContent(const Settings& record);

} // namespace SettingsFile
