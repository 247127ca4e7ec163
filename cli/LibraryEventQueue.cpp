#include "cli/LibraryEventQueue.h"

#include <condition_variable>
#include <deque>
#include <mutex>

#include "modsvc/ModuleService.h"

namespace ordvane::cli {

namespace {

// Far more than a command waits for; older codes are dropped first when it overflows.
constexpr std::size_t kMaximumQueuedEvents = 4096;

std::mutex g_mutex;
std::condition_variable g_arrived;
std::deque<int> g_events;

void QueueEvent(int eventCode) {
    {
        std::lock_guard lock(g_mutex);
        if (g_events.size() >= kMaximumQueuedEvents) {
            g_events.pop_front();
        }
        g_events.push_back(eventCode);
    }
    g_arrived.notify_one();
}

}  // namespace

void LibraryEventQueue::Install() {
    ZEVA_RegisterCallBack(QueueEvent);
}

std::optional<int> LibraryEventQueue::WaitForEvent(Clock::time_point deadline) {
    std::unique_lock lock(g_mutex);
    if (!g_arrived.wait_until(lock, deadline, [] { return !g_events.empty(); })) {
        return std::nullopt;
    }
    const int eventCode = g_events.front();
    g_events.pop_front();
    return eventCode;
}

}  // namespace ordvane::cli
