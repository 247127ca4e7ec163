#include "platform/LongOptions.h"

#include <getopt.h>

#include "platform/Mutex.h"

namespace ordvane::detail {

bool ParseLongOptionNames(std::span<const std::string> arguments,
                          std::span<const OptionName> options, std::vector<std::string>& operands,
                          std::string& error, bool (*found)(void*, std::size_t, const std::string&),
                          void* context) {
    // getopt_long keeps its state in globals: one parse at a time.
    static Mutex parsing;
    const MutexLock lock(parsing);

    // getopt_long's return value for option N; clear of 1 (an operand), ':', '?' and any
    // short option character.
    constexpr int kFirstValue = 1000;
    std::vector<option> longOptions;
    for (std::size_t index = 0; index < options.size(); ++index) {
        longOptions.push_back({options[index].name,
                               options[index].takesValue ? required_argument : no_argument, nullptr,
                               kFirstValue + static_cast<int>(index)});
    }
    longOptions.push_back({nullptr, 0, nullptr, 0});

    // getopt_long takes argv as char*; it permutes the pointers, never the texts.
    std::vector<std::string> words = {"program"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    operands.clear();
    opterr = 0;  // the messages are ours
    optind = 0;  // start afresh (glibc)
    // "-": operands come back in order as 1; ":": a missing value comes back as ':'.
    constexpr const char* kShortOptions = "-:";
    for (;;) {
        const int result =
            getopt_long(argc, argv.data(), kShortOptions, longOptions.data(), nullptr);
        if (result == -1) {
            break;
        }
        const std::string given = optind >= 1 && optind <= argc ? argv[optind - 1] : "";
        if (result == 1) {
            operands.emplace_back(optarg);
        } else if (result == ':') {
            error = given.substr(0, given.find('=')) + " needs a value";
            return false;
        } else if (result == '?') {
            if (given.rfind("--", 0) != 0) {
                error = std::string("unknown option -") + static_cast<char>(optopt);
            } else if (optopt >= kFirstValue &&
                       static_cast<std::size_t>(optopt - kFirstValue) < options.size()) {
                error = std::string("--") +
                        options[static_cast<std::size_t>(optopt - kFirstValue)].name +
                        " takes no value";
            } else {
                error = "unknown or ambiguous option " + given.substr(0, given.find('='));
            }
            return false;
        } else if (result >= kFirstValue &&
                   static_cast<std::size_t>(result - kFirstValue) < options.size()) {
            if (!found(context, static_cast<std::size_t>(result - kFirstValue),
                       optarg != nullptr ? std::string(optarg) : std::string())) {
                return false;
            }
        } else {
            error = "unknown option " + given;
            return false;
        }
    }
    for (int index = optind; index < argc; ++index) {
        operands.emplace_back(argv[static_cast<std::size_t>(index)]);
    }
    return true;
}

}  // namespace ordvane::detail
