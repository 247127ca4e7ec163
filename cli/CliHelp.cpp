#include "cli/CliHelp.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "version/ProgramVersion.h"

namespace ordvane::cli {

namespace {

constexpr std::size_t kLineWidth = 79;

constexpr const char* kExitStatusText =
    "exit status: 0 success, 1 failure, 2 usage error; configure, apply and recover also 3 when a "
    "module refused the password and 4 when one did not answer in time; scan --baseline 5 "
    "when the modules changed";

// Prints text broken at blanks into lines of at most kLineWidth columns: the first indented by
// indent, the others by hangingIndent.
void PrintWrapped(std::FILE* stream, std::string_view text, std::size_t indent,
                  std::size_t hangingIndent) {
    for (; !text.empty(); indent = hangingIndent) {
        const std::size_t width = kLineWidth - indent;
        std::size_t length = text.size();
        if (length > width) {
            const std::size_t blank = text.rfind(' ', width);
            length = blank == std::string_view::npos || blank == 0 ? width : blank;
        }
        std::fprintf(stream, "%*s%.*s\n", static_cast<int>(indent), "", static_cast<int>(length),
                     text.data());
        text.remove_prefix(length);
        while (!text.empty() && text.front() == ' ') {
            text.remove_prefix(1);
        }
    }
}

// The options before "--": what follows it is operands, even "--help".
std::span<const std::string> OptionsPart(std::span<const std::string> arguments) {
    const auto end = std::find(arguments.begin(), arguments.end(), "--");
    return arguments.first(static_cast<std::size_t>(end - arguments.begin()));
}

}  // namespace

void PrintProgramUsage(std::FILE* stream) {
    std::fprintf(stream,
                 "usage: ordvane-cli <command> [arguments]\n"
                 "       ordvane-cli [<command>] --help | --version\n"
                 "commands:\n");
    for (const CliCommand& command : Commands()) {
        PrintWrapped(stream, std::string(command.name) + " " + command.usage, 2, 4);
        PrintWrapped(stream, command.summary, 6, 6);
    }
    PrintWrapped(stream, kExitStatusText, 0, 2);
}

void PrintCommandHelp(const CliCommand& command, std::FILE* stream) {
    PrintWrapped(stream, std::string("usage: ordvane-cli ") + command.name + " " + command.usage, 0,
                 4);
    PrintWrapped(stream, command.summary, 2, 2);
    PrintWrapped(stream, kExitStatusText, 0, 2);
}

void PrintVersion() {
    std::printf("%s\n", static_cast<LPCSTR>(ProgramVersionLine("ordvane-cli")));
}

bool WantsHelp(std::span<const std::string> arguments) {
    const std::span<const std::string> options = OptionsPart(arguments);
    return std::find_if(options.begin(), options.end(), [](const std::string& argument) {
               return argument == "--help" || argument == "-h";
           }) != options.end();
}

bool AsksForVersion(std::span<const std::string> arguments) {
    const std::span<const std::string> options = OptionsPart(arguments);
    return std::find(options.begin(), options.end(), "--version") != options.end();
}

}  // namespace ordvane::cli
