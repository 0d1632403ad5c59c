#pragma once

#include <QString>

class QWidget;

// The file dialog behind the File menu's entry for ripped discs: it takes a DVD image file or a
// folder (a VIDEO_TS folder or the folder holding one). Returns the picked path, or empty text
// when the dialog was cancelled. It opens where the previous pick was made.
QString chooseDiscImageOrFolder(QWidget* owner, const QString& title);
