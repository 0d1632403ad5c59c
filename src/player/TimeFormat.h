#pragma once

#include <QString>

// Hours, minutes and seconds as "hh:mm:ss"; hours grow past two digits instead of wrapping.
// Leaves seconds holding the seconds below one minute. A negative count (an engine that does not
// know the length) is shown as 00:00:00.
QString FormatTime(int& seconds);
