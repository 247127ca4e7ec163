#pragma once
// The option parsers of the scan, configure and apply commands: the command line as a value,
// with no terminal, file or network behind it, so that a fuzzer and the unit tests take them
// alone. Each command's options are a table (platform/LongOptions.h: --opt value,
// --opt=value, abbreviations, "--"); a new option is one row there. Each returns false with
// the reason in error, naming the option or value at fault; the command prints it with its
// usage.

#include <optional>
#include <span>
#include <string>

#include "cli/ModuleTableFormat.h"
#include "cli/ScanTable.h"
#include "config/ConfigureOverrides.h"
#include "platform/AddressText.h"

namespace ordvane::cli {

inline constexpr int kDefaultScanSeconds = 3;

// A MAC address as the table shows it, "0A-51-4D-00-00-2A" (':' allowed instead of '-').
[[nodiscard]] bool ParseMacArgument(const std::string& text, MacAddress& mac);

// A number of seconds for a scan, 1 to 3600, in decimal digits only.
[[nodiscard]] bool ParseSecondsValue(const std::string& text, int& seconds);

// scan [--seconds S] [--format F] [--sort COLUMN[:desc]] [--baseline FILE]
struct ScanArguments {
    ScanTableOptions table;
    std::string baselinePath;  // empty: no baseline
    int seconds = kDefaultScanSeconds;
};
[[nodiscard]] bool ParseScanArguments(std::span<const std::string> arguments, ScanArguments& parsed,
                                      std::string& error);

// configure MAC [--ip A] ... [--password-stdin] [--new-password-stdin] [--plain-password]; the
// passwords
// themselves come later, from standard input.
struct ConfigureArguments {
    MacAddress mac{};
    ConfigureOverrides overrides;
    bool passwordFromInput = false;
    bool newPasswordFromInput = false;
    bool plainPasswordConsent = false;  // --plain-password: clear text to a plain module is fine
    bool removePassword = false;        // --remove-password: the new password is empty
};
[[nodiscard]] bool ParseConfigureArguments(std::span<const std::string> arguments,
                                           ConfigureArguments& parsed, std::string& error);

// recover MAC --ip A [--mask A] [--gateway A] [--dns1 A] [--dns2 A] [--hostname H]
//         [--password-stdin] [--seconds S]: configure's values without --dhcp (always off) or
// a new password, the address required, S from 1 to 3600 (default 120).
inline constexpr int kDefaultRecoverSeconds = 120;
struct RecoverArguments {
    ConfigureArguments configure;
    int seconds = kDefaultRecoverSeconds;
};
[[nodiscard]] bool ParseRecoverArguments(std::span<const std::string> arguments,
                                         RecoverArguments& parsed, std::string& error);

// apply PLAN [--dry-run] [--password-stdin] [--new-password-stdin] [--plain-password]
//       [--seconds S] [--format F]
struct ApplyArguments {
    std::string planPath;
    bool dryRun = false;
    bool passwordFromInput = false;
    bool newPasswordFromInput = false;
    bool plainPasswordConsent = false;
    bool removePassword = false;
    int seconds = kDefaultScanSeconds;
    TableFormat format = TableFormat::kTable;
    std::string password;     // read from standard input after parsing
    std::string newPassword;  // likewise
};
[[nodiscard]] bool ParseApplyArguments(std::span<const std::string> arguments,
                                       ApplyArguments& parsed, std::string& error);

}  // namespace ordvane::cli
