#pragma once
// Records the library's callback events for the end-to-end tests and gathers scan answers.
// The callback only counts and wakes the test thread; it never calls back into the library.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "modsvc/ModuleService.h"
#include "platform/AddressText.h"

namespace ordvane::testing {

class LibraryEvents {
public:
    // Registers the callback and starts the library (once per process).
    static bool StartLibrary();

    static int Count(int eventCode);
    // Waits until eventCode has been seen at least count times.
    static bool WaitFor(int eventCode, int count,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10));
};

// Sends one scan and collects answers by MAC until `expected` distinct modules answered or
// the time runs out.
std::map<std::string, ZEVA_ModuleScanResponseType> ScanFor(
    std::size_t expected, std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace ordvane::testing
