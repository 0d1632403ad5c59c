#pragma once

#include <QString>

// Reads one value from an INI file with the rules of the Windows profile-string reader:
// - section and key names match without regard to case;
// - a section runs from its "[name]" line to the next one; lines before the first are in none;
// - the value is the text after the first "=", blanks around it removed, and one pair of
//   enclosing double or single quotes removed; lines without "=" are ignored;
// - the first matching line wins;
// - at most bufferSize - 1 characters are returned;
// - a missing file (or a folder), section or key gives the default, trailing blanks removed.
namespace ProfileReader {

struct Result {
    QString text;             // the value, or the default
    bool failed = false;      // the file exists but could not be read; `text` is then empty
    QString errorDescription; // why, when failed
    int errorNumber = 0;      // QFileDevice::FileError, when failed
};

Result readString(const QString& section, const QString& key, const QString& defaultText,
                  int bufferSize, const QString& path);

} // namespace ProfileReader
