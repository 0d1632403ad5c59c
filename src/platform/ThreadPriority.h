#pragma once

#include <QtGlobal>

namespace platform {

// CPU time the calling thread has used, in nanoseconds (wall-clock time where not available).
qint64 threadCpuNs();

// Makes the calling thread yield to the others of the process (a background worker).
void lowerCurrentThreadPriority();

} // namespace platform
