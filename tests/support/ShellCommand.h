#pragma once
// Shell commands for tests that set up links and run third-party programs.

#include <string>

namespace ordvane::testing {

// Runs a shell command; true when it exits with 0.
bool RunCommand(const std::string& command);

// Runs a shell command and returns what it printed on stdout and stderr; *exitStatus gets its
// exit status, or -1 when it could not run or was killed.
std::string CaptureCommand(const std::string& command, int* exitStatus);

}  // namespace ordvane::testing
