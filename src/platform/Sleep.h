#pragma once

#include <functional>

namespace platform {

// Blocks the calling thread for ms milliseconds; no events are processed meanwhile.
void sleepMs(int ms);

// Tests replace the real wait (for example to record it or to skip it); an empty hook restores it.
void setSleepHook(std::function<void(int)> hook);

} // namespace platform
