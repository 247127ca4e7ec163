#pragma once
// Command lines in the GNU form, through the C library's getopt_long: "--name value",
// "--name=value", unambiguous abbreviations ("--sec 2"), "--" before operands that start with
// "-", and options and operands in any order. Each program describes its options as a table,
// one row an option, so that a new option is one row. Errors name the option or value at fault.

#include <span>
#include <string>
#include <vector>

namespace ordvane {

// One option of a table: its long name without "--", whether it takes a value, and what it
// does to the parsed result. apply returns false with why in reason, worded to follow the
// option's name ("takes a number from 1 to 3600").
template <typename Parsed>
struct LongOption {
    const char* name;
    bool takesValue;
    bool (*apply)(Parsed& parsed, const std::string& value, std::string& reason);
};

// The apply of a row without a value that switches a flag of the result on:
// {"dry-run", false, SetFlag<ApplyArguments, &ApplyArguments::dryRun>}.
template <typename Parsed, bool Parsed::*Flag>
bool SetFlag(Parsed& parsed, const std::string&, std::string&) {
    parsed.*Flag = true;
    return true;
}

namespace detail {

// The table without its type: names and value flags. Returns the operands in order, or false
// with the message in error; calls found(index, value) for each option given.
struct OptionName {
    const char* name;
    bool takesValue;
};
bool ParseLongOptionNames(std::span<const std::string> arguments,
                          std::span<const OptionName> options, std::vector<std::string>& operands,
                          std::string& error, bool (*found)(void*, std::size_t, const std::string&),
                          void* context);

}  // namespace detail

// Parses arguments (argv without the program's and command's names) against the table.
// Operands (everything that is no option, and all after "--") go to operands in order. False
// with a one-line message in error: "unknown option --bogus", "--seconds needs a value",
// "--dry-run takes no value", "--seconds takes a number from 1 to 3600, not \"0\"".
template <typename Parsed>
bool ParseLongOptions(std::span<const std::string> arguments,
                      std::span<const LongOption<Parsed>> table, Parsed& parsed,
                      std::vector<std::string>& operands, std::string& error) {
    std::vector<detail::OptionName> names;
    names.reserve(table.size());
    for (const LongOption<Parsed>& option : table) {
        names.push_back({option.name, option.takesValue});
    }
    struct Context {
        std::span<const LongOption<Parsed>> table;
        Parsed& parsed;
        std::string& error;
    } context{table, parsed, error};
    return detail::ParseLongOptionNames(
        arguments, names, operands, error,
        [](void* opaque, std::size_t index, const std::string& value) {
            auto& state = *static_cast<Context*>(opaque);
            const LongOption<Parsed>& option = state.table[index];
            std::string reason;
            if (option.apply(state.parsed, value, reason)) {
                return true;
            }
            state.error = std::string("--") + option.name + " " + reason;
            if (option.takesValue) {
                state.error += ", not \"" + value + "\"";
            }
            return false;
        },
        &context);
}

}  // namespace ordvane
