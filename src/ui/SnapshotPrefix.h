#pragma once

#include <QString>

// Whether a snapshot prefix can stand as a file name. The check is made on the prefix alone, so
// it also holds once digits and an extension are appended.
namespace SnapshotPrefix {

// True when no file name may hold character c on Linux or Windows: NUL and the other control
// characters, and / \ : * ? " < > |. Checking both keeps a prefix accepted here usable there.
bool forbiddenCharacter(QChar c);

// True when prefix is not empty, holds no forbidden character, and a file of exactly that name
// can be opened for appending in folder. A regular file that is already there under that name is
// only opened and closed, never changed or removed; a FIFO, device or socket of that name is not
// opened at all (the name is valid); only a file this check creates itself is removed again.
bool usableAsFileName(const QString& prefix, const QString& folder);

// Where the file test is made: the current folder, or the temporary folder when the current one
// cannot be written to (a program started from "/" must still accept good prefixes).
QString testFolder();

} // namespace SnapshotPrefix
