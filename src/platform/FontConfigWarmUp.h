#pragma once

#include <thread>

// Reads the system's font configuration on a thread of its own while Qt starts: it is the
// largest cost before the first text can be measured, and Qt then finds it read. Joined when
// destroyed.
class FontConfigWarmUp {
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

private:
    std::thread thread_;
};
