#pragma once

#include "export/ExportRequest.h"

#include <QString>

class MessageBoxes;
struct Settings;

// The dialog's choices with what the disc and the settings add: the medium, the disc's label,
// its "<label> Images" folder, the prefix and the image format, as snapshots of that disc get,
// and the title's name in the language chosen for the contact sheet's heading.
ExportRequest completeRequest(ExportRequest chosen, const Settings& settings, const QString& medium,
                              const QString& discLabel);

// Tells how an export ended, without waiting: the images written (and the sectors left out);
// a failure also goes to the error log.
void tellExportReport(MessageBoxes& boxes, const ExportReport& report, const QString& medium);

// A title list nothing can be exported from (unreadable, encrypted or empty): tells why and
// records it in the error log, and answers true. False for a usable list.
bool tellTitleListProblem(MessageBoxes& boxes, const TitleList& list, const QString& medium);
