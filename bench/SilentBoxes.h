#pragma once

#include "platform/MessageBoxes.h"

#include <cstdio>

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
