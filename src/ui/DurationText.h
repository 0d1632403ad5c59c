#pragma once

#include <QString>

// An estimate of the time still to go: "m:ss" below an hour, "h:mm:ss" from an hour on, "-" when
// it is not known (negative). (Lengths and times are shown as the contact sheet's time codes:
// ContactSheet::timeCode.) Part of a second counts as a whole one, so that "0:00" is not shown
// while work remains.
QString timeLeftText(qint64 ms);
