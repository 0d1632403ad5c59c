#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reading the small text files beside the program (settings, language packs), which may come
// from anywhere: another editor, a Windows tool, or a hostile hand.
namespace TextFiles {

struct ReadResult {
    QByteArray bytes;
    bool missing = false;     // no such file, or a folder: the callers' "not there"
    QString errorDescription; // why reading failed; empty on success and when missing
    int errorNumber = 0;      // a QFileDevice::FileError, when reading failed
    bool ok() const { return !missing && errorDescription.isEmpty(); }
};

// A regular file, after symbolic links (QFileInfo::isFile() also holds for devices).
bool isRegularFile(const QString& path);

// Reads a whole file that is a regular file (after symbolic links) of at most maxBytes. A FIFO,
// a device or a socket is never opened, and a larger file is refused, so a hostile name cannot
// hang the program or fill its memory.
ReadResult readRegularFile(const QString& path, qint64 maxBytes);

// UTF-8, where every byte that does not belong to a valid UTF-8 sequence is read as a
// Windows-1252 character (files written by Windows tools): no replacement characters appear.
QString decode(const QByteArray& bytes);

// Splits text at CR LF, LF or a lone CR. A line end after the last line adds no empty line.
QStringList splitLines(const QString& text);

} // namespace TextFiles
