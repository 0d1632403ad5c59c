#include "platform/Isolated.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

platform::IsolatedOutcome platform::runIsolated(const std::function<bool()>& work, int timeoutMs) {
    const pid_t child = fork();
    if (child < 0)
        return IsolatedOutcome::Failed;
    if (child == 0) {
        // A crash of the copy ends it at once: no handler of the parent's (a crash reporter)
        // runs in it.
        for (int crash : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL})
            std::signal(crash, SIG_DFL);
        // No exit handlers, no flushing of the parent's buffers: only the work's answer.
        _exit(work() ? 0 : 1);
    }
    int status = 0;
    for (int waited = 0;; waited += 5) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            break;
        if (done < 0 && errno != EINTR)
            return IsolatedOutcome::Failed;
        if (waited >= timeoutMs) {
            kill(child, SIGKILL);
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            return IsolatedOutcome::Failed;
        }
        const timespec pause{0, 5 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? IsolatedOutcome::Returned
                                                         : IsolatedOutcome::Failed;
}
