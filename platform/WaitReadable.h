#pragma once
// The one wait of every receive loop (library, emulator, recovery server): poll with its
// failures handled, so that no loop spins or reads stale readiness when poll itself fails.

#include <poll.h>

#include <span>

namespace ordvane {

// Waits, as poll does, until one of watched is readable or timeoutMilliseconds pass (negative:
// no limit). A signal ends the wait as a timeout does. When poll itself fails (no memory for
// its tables, a descriptor table limit), every revents is cleared and the wait still lasts a
// short pause, at most the timeout, so that the caller's loop does not spin; the result is then
// false with errno set.
bool WaitReadable(std::span<pollfd> watched, int timeoutMilliseconds);

}  // namespace ordvane
