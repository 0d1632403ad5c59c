#pragma once

#include "platform/MessageBoxes.h"

#include <QByteArray>
#include <cstdio>
#include <sys/resource.h>

// CPU seconds (user and system) of this process, or of its waited-for children.
inline double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
inline double selfCpuSeconds() {
    return cpuSeconds(RUSAGE_SELF);
}
inline double childrenCpuSeconds() {
    return cpuSeconds(RUSAGE_CHILDREN);
}

// The benchmarks draw off screen unless a platform is chosen.
inline void defaultToOffscreen() {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Message boxes for the benchmarks: nothing waits for an answer; a message that would have shown
// is printed to the error stream, Yes/No questions are answered Yes.
class SilentBoxes : public MessageBoxes {
public:
    explicit SilentBoxes(const char* program) : program_(program) {}

    Answer show(const QString& text, const QString&, Icon, Buttons buttons) override {
        std::fprintf(stderr, "%s: message: %s\n", program_, qPrintable(text));
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    void notify(const QString& text, const QString& title, Icon icon) override {
        show(text, title, icon, Buttons::Ok);
    }

private:
    const char* program_;
};
