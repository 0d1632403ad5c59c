#include "platform/ThreadPriority.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace platform {

qint64 threadCpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void lowerCurrentThreadPriority() {
#ifdef Q_OS_LINUX
    // Linux ignores QThread priorities for normal threads but applies a nice value to the
    // calling thread alone.
    setpriority(PRIO_PROCESS, gettid(), 10);
#endif
}

} // namespace platform
