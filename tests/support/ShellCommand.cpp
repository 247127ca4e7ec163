#include "tests/support/ShellCommand.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace ordvane::testing {

bool RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string CaptureCommand(const std::string& command, int* exitStatus) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        *exitStatus = -1;
        return output;
    }
    std::array<char, 512> chunk{};
    std::size_t count = 0;
    while ((count = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
        output.append(chunk.data(), count);
    }
    const int status = pclose(pipe);
    *exitStatus = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

}  // namespace ordvane::testing
