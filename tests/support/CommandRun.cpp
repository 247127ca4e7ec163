#include "tests/support/CommandRun.h"

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/support/TemporaryFolder.h"

namespace ordvane::testing {

namespace {

std::string ReadAll(std::FILE* stream) {
    std::string text;
    char buffer[4096];
    std::size_t length = 0;
    while ((length = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
        text.append(buffer, length);
    }
    return text;
}

}  // namespace

CommandRun RunProgram(const std::string& program, const std::string& arguments,
                      const std::string& environment, const std::string& inputPath) {
    CommandRun run;
    const TemporaryFolder folder;
    if (folder.Path().empty()) {
        return run;
    }
    const std::string errorsPath = folder.Path() + "/errors";
    const std::string command = environment + " '" + program + "' " + arguments + " <'" +
                                inputPath + "' 2>'" + errorsPath + "'";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    run.output = ReadAll(pipe);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream errors(errorsPath, std::ios::binary);
    run.errors.assign(std::istreambuf_iterator<char>(errors), std::istreambuf_iterator<char>());
    return run;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> SplitCsvFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t comma = line.find(','); comma != std::string::npos;
         comma = line.find(',', start)) {
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

}  // namespace ordvane::testing
