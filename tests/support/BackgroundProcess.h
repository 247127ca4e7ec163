#pragma once
// A program in the background, its output in a file; stopped (SIGTERM or the signal given, then
// SIGKILL after two seconds) by Stop or the destructor, whatever the test's outcome.

#include <sys/types.h>

#include <signal.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace ordvane::testing {

class BackgroundProcess {
public:
    BackgroundProcess(const std::vector<std::string>& arguments, const std::string& outputPath);
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    bool Started() const { return m_pid > 0; }
    // The program's exit status, or -1 when it did not exit by itself (or was not running).
    int Stop(int signalNumber = SIGTERM);
    std::string Output() const;
    // True once the output holds text, false when the time is up first.
    bool WaitForOutput(std::string_view text, std::chrono::milliseconds timeout) const;

private:
    pid_t m_pid = -1;
    std::string m_outputPath;
};

}  // namespace ordvane::testing
