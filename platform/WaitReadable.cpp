#include "platform/WaitReadable.h"

#include <cerrno>
#include <chrono>
#include <thread>

namespace ordvane {

namespace {

// Long enough that a loop around a failing poll costs nothing, short enough that a stop
// request is still seen at once.
constexpr int kPauseAfterFailureMilliseconds = 10;

}  // namespace

bool WaitReadable(std::span<pollfd> watched, int timeoutMilliseconds) {
    for (pollfd& entry : watched) {
        entry.revents = 0;
    }
    if (poll(watched.data(), watched.size(), timeoutMilliseconds) >= 0 || errno == EINTR) {
        return true;
    }
    const int error = errno;
    for (pollfd& entry : watched) {
        entry.revents = 0;
    }
    const int pause =
        timeoutMilliseconds >= 0 && timeoutMilliseconds < kPauseAfterFailureMilliseconds
            ? timeoutMilliseconds
            : kPauseAfterFailureMilliseconds;
    std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    errno = error;
    return false;
}

}  // namespace ordvane
