#pragma once
// Milliseconds since an arbitrary start, from the monotonic clock; wraps like the platform's
// 32-bit tick count.

#include <chrono>

#include "platform/WinTypes.h"

inline DWORD GetTickCount() {
    const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}
