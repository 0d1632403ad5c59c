#pragma once

#include <functional>

namespace platform {

// How a piece of work run apart from the program ended.
enum class IsolatedOutcome { Returned, Failed };

// Runs work in a process of its own (a copy of this one, with only the calling thread) and waits
// for it up to timeoutMs: Returned when work returned true there, Failed when it returned false,
// crashed, or took longer (it is then killed). For libraries that may crash on hostile input:
// what they would do to this process happens to the copy. The work must not rely on other
// threads (they do not exist in the copy) and must not touch what the program shares outside
// (windows, sockets). When no copy can be made the work is not run and Failed is returned.
IsolatedOutcome runIsolated(const std::function<bool()>& work, int timeoutMs);

} // namespace platform
