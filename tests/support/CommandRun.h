#pragma once
// Runs a program of this build through the shell and keeps its exit status, standard output and
// standard error apart, so that tests can check which text went where.

#include <string>
#include <vector>

namespace ordvane::testing {

struct CommandRun {
    int status = -1;  // the exit status, -1 when the program did not exit normally
    std::string output;
    std::string errors;
};

// Runs "program arguments" (arguments as written in a shell) with standard input from
// inputPath and environment settings (e.g. "ZEVA_TARGETS=127.0.0.1:5000") put in front.
CommandRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& environment = "",
                      const std::string& inputPath = "/dev/null");

// Splits a text into lines without their line ends ("\n" or "\r\n").
std::vector<std::string> SplitLines(const std::string& text);

// The fields of one CSV line that quotes none of them.
std::vector<std::string> SplitCsvFields(const std::string& line);

}  // namespace ordvane::testing
