#include "tests/zeva/LibraryEvents.h"

#include <cstdio>
#include <thread>

namespace ordvane::testing {

namespace {

std::mutex g_mutex;
std::condition_variable g_changed;
std::map<int, int> g_counts;

void OnEvent(int eventCode) {
    {
        std::lock_guard lock(g_mutex);
        ++g_counts[eventCode];
    }
    g_changed.notify_all();
}

}  // namespace

bool LibraryEvents::StartLibrary() {
    ZEVA_RegisterCallBack(OnEvent);
    return ZEVA_Start() != 0;
}

int LibraryEvents::Count(int eventCode) {
    std::lock_guard lock(g_mutex);
    return g_counts[eventCode];
}

bool LibraryEvents::WaitFor(int eventCode, int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(g_mutex);
    return g_changed.wait_for(lock, timeout, [&] { return g_counts[eventCode] >= count; });
}

std::map<std::string, ZEVA_ModuleScanResponseType> ScanFor(std::size_t expected,
                                                           std::chrono::milliseconds timeout) {
    std::map<std::string, ZEVA_ModuleScanResponseType> answers;
    ZEVA_SendModuleScan();
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (answers.size() < expected && std::chrono::steady_clock::now() < end) {
        ZEVA_ModuleScanResponseType response{};
        if (ZEVA_GetResponse(&response) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        answers.emplace(FormatMacAddress(response.macId), response);
    }
    return answers;
}

}  // namespace ordvane::testing
