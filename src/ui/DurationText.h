#pragma once

#include <QString>

// A title's or chapter's running time as lists show it: "h:mm:ss", the hours always there
// ("0:44:12"), seconds cut off. A negative time shows as "0:00:00".
QString lengthText(qint64 ms);

// An estimate of the time still to go: "m:ss" below an hour, "h:mm:ss" from an hour on, "-" when
// it is not known (negative). Part of a second counts as a whole one, so that "0:00" is not shown
// while work remains.
QString timeLeftText(qint64 ms);
