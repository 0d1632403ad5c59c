#pragma once

#include <QLocale>
#include <QString>

// The two append-only logs, beside the program unless its folder is read-only (then in the user's
// configuration folder). Each record opens the file, appends and closes it, so other programs can
// read the logs while the application runs.

// Appends one record to "errorlog.txt": a line holding a double quote, then
// "Date: <short date>","Time: <long time>","<message>" and CR LF. The message is written as it
// is, quotes included. Never fails towards its caller: a record that cannot be written is lost.
void WriteErrorLog(const QString& message);

// A single-precision value as the layout log writes it: a blank (or "-" when negative), up to
// seven significant digits without trailing zeros, the locale's decimal separator, a blank.
QString layoutLogNumber(float value);
QString layoutLogNumber(float value, const QLocale& locale);

// Appends the video area's rectangle (twips) to "logerror.txt", one line per value.
// Returns false when the record could not be written completely.
bool writeLayoutLog(float left, float top, float width, float height);
