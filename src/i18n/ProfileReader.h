#pragma once

#include "platform/TextFiles.h"

#include <QString>

// Reads one value from an INI file with the rules of the Windows profile-string reader:
// - section and key names match without regard to case;
// - a section runs from its "[name]" line to the next one; lines before the first are in none;
// - the value is the text after the first "=", blanks around it removed, and one pair of
//   enclosing double or single quotes removed; lines without "=" are ignored;
// - the first matching line wins;
// - at most bufferSize - 1 characters are returned;
// - a missing file (or a folder), section or key gives the default, trailing blanks removed;
// - the file is UTF-8, bytes that are not valid UTF-8 are Windows-1252; lines end in CR LF, LF
//   or CR.
// Only a regular file of at most kMaxPackBytes is read; anything else is a failure.
namespace ProfileReader {

inline constexpr qint64 kMaxPackBytes = 1024 * 1024;

struct Result {
    QString text;             // the value, or the default (also when reading failed)
    bool failed = false;      // the file exists but could not be read
    QString errorDescription; // why, when failed
    int errorNumber = 0;      // QFileDevice::FileError, when failed
};

Result readString(const QString& section, const QString& key, const QString& defaultText,
                  int bufferSize, const QString& path);

// readString on the outcome of reading the file (TextFiles::readRegularFile, kMaxPackBytes).
Result stringIn(const TextFiles::ReadResult& file, const QString& section, const QString& key,
                const QString& defaultText, int bufferSize);

// The same lookup in the bytes of a file already read.
QString valueIn(const QByteArray& content, const QString& section, const QString& key,
                const QString& defaultText, int bufferSize);

} // namespace ProfileReader
