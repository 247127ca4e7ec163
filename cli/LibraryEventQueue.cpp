#include "cli/LibraryEventQueue.h"

#include <deque>

#include "modsvc/ModuleService.h"
#include "platform/Mutex.h"

namespace ordvane::cli {

namespace {

// Far more than a command waits for; older codes are dropped first when it overflows.
constexpr std::size_t kMaximumQueuedEvents = 4096;

Mutex g_mutex;
CondVar g_arrived;
std::deque<int> g_events GUARDED_BY(g_mutex);

void QueueEvent(int eventCode) EXCLUDES(g_mutex) {
    {
        MutexLock lock(g_mutex);
        if (g_events.size() >= kMaximumQueuedEvents) {
            g_events.pop_front();
        }
        g_events.push_back(eventCode);
    }
    g_arrived.NotifyOne();
}

}  // namespace

void LibraryEventQueue::Install() {
    ZEVA_RegisterCallBack(QueueEvent);
}

std::optional<int> LibraryEventQueue::WaitForEvent(Clock::time_point deadline) {
    MutexLock lock(g_mutex);
    while (g_events.empty() && g_arrived.WaitUntil(g_mutex, deadline)) {
    }
    if (g_events.empty()) {
        return std::nullopt;
    }
    const int eventCode = g_events.front();
    g_events.pop_front();
    return eventCode;
}

}  // namespace ordvane::cli
