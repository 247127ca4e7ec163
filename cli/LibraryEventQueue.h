#pragma once
// The module-service library's events for a command-line run: the callback (any thread) queues
// each code, the command waits for them on its own thread. The library is never called from the
// callback.

#include <chrono>
#include <optional>

namespace ordvane::cli {

class LibraryEventQueue {
public:
    using Clock = std::chrono::steady_clock;

    // Registers the callback with the library; call once, before ZEVA_Start.
    static void Install();
    // The next event code, or nothing once the deadline has passed.
    static std::optional<int> WaitForEvent(Clock::time_point deadline);
};

}  // namespace ordvane::cli
