#include "tests/zeva/LibraryEvents.h"

#include <cstdio>
#include <thread>

#include "platform/Mutex.h"

namespace ordvane::testing {

namespace {

Mutex g_mutex;
CondVar g_changed;
std::map<int, int> g_counts GUARDED_BY(g_mutex);

void OnEvent(int eventCode) EXCLUDES(g_mutex) {
    {
        MutexLock lock(g_mutex);
        ++g_counts[eventCode];
    }
    g_changed.NotifyAll();
}

}  // namespace

bool LibraryEvents::StartLibrary() {
    ZEVA_RegisterCallBack(OnEvent);
    return ZEVA_Start() != 0;
}

int LibraryEvents::Count(int eventCode) {
    MutexLock lock(g_mutex);
    return g_counts[eventCode];
}

bool LibraryEvents::WaitFor(int eventCode, int count, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    MutexLock lock(g_mutex);
    while (g_counts[eventCode] < count) {
        if (!g_changed.WaitUntil(g_mutex, deadline)) {
            return g_counts[eventCode] >= count;
        }
    }
    return true;
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
