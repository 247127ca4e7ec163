#pragma once
// A program in the background, its output in a file; stopped (SIGTERM, then SIGKILL after two
// seconds) by Stop or the destructor, whatever the test's outcome.

#include <sys/types.h>

#include <string>
#include <vector>

namespace ordvane::testing {

class BackgroundProcess {
public:
    BackgroundProcess(const std::vector<std::string>& arguments, const std::string& outputPath);
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    bool Started() const { return m_pid > 0; }
    void Stop();
    std::string Output() const;

private:
    pid_t m_pid = -1;
    std::string m_outputPath;
};

}  // namespace ordvane::testing
