#pragma once

#include <QString>

// A ripped disc opened from the File menu: a DVD image file or a folder holding VIDEO_TS. It is
// opened like a disc in a drive, its path standing where the drive name would.

// The disc a path picked in the file dialog stands for, as an absolute path: the VIDEO_TS folder
// (or its VIDEO_TS.IFO) stands for the folder holding it; an image file or any other folder for
// itself.
QString discPathOf(const QString& picked);

// The label of that disc: a folder's name, or the volume label read from an image (empty when
// the file holds no disc file system; the engine then refuses it).
QString discLabelOf(const QString& discPath);

// The local path a command-line argument or a handed-over text names: the file of a file:// URI,
// or a path made absolute against the working folder. Empty for any other URI.
QString pathOfArgument(const QString& argument);

// Whether a path can be opened as a disc without asking: an .iso file, a VIDEO_TS folder or a
// folder holding one (a mounted disc, a ripped one).
bool isDiscPath(const QString& path);
