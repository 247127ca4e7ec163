// ordvane-cli forget MAC: drops a module from the known-modules file, so that a module whose
// firmware really went back to plain passwords can be configured again.
//
// Exit status: 0 when the MAC was forgotten, 1 when it was not known or the file could not be
// written, 2 for bad arguments.
#include "cli/KnownModulesFile.h"

#include <cstdio>

#include "cli/CommandOptions.h"
#include "cli/ExitStatus.h"
#include "cli/TerminalText.h"

namespace ordvane::cli {

namespace {

void Warn(const char* command, const std::string& error) {
    std::fprintf(stderr, "%s: warning: %s\n", command, TerminalSafe(error).c_str());
}

}  // namespace

bool SaveKnownModulesFile(const char* command, const KnownModules& known) {
    const std::string path = KnownModulesPath();
    const Status saved =
        path.empty() ? Status(Failure{kNoKnownModulesPath}) : SaveKnownModules(path, known);
    if (!saved) {
        Warn(command, saved.Reason());
    }
    return saved.Ok();
}

KnownModules LoadKnownModulesFile(const char* command) {
    KnownModules known;
    const std::string path = KnownModulesPath();
    if (!path.empty()) {
        if (const Status loaded = LoadKnownModules(path, known); !loaded) {
            Warn(command, loaded.Reason());
        }
    }
    return known;
}

void RememberKnownModules(const char* command, KnownModules& known,
                          const std::vector<ModuleRecord>& answers) {
    bool changed = false;
    for (const ModuleRecord& answer : answers) {
        changed = known.Remember(answer) || changed;
    }
    if (changed) {
        SaveKnownModulesFile(command, known);
    }
}

bool MayConfigure(const char* command, const KnownModules& known, const ModuleRecord& module,
                  bool passwordGiven, bool plainPasswordConsent) {
    const std::string mac = module.AddressingMac().Text();
    switch (CheckPasswordSending(known, module, passwordGiven)) {
        case PasswordSending::kAllowed:
            return true;
        case PasswordSending::kRefusedDowngrade:
            std::fprintf(stderr, "%s: %s\n", command, PasswordDowngradeRefusal(mac).c_str());
            return false;
        case PasswordSending::kNeedsConsent:
            if (plainPasswordConsent) {
                return true;
            }
            std::fprintf(stderr,
                         "%s: %s Nothing was sent; add --plain-password to send it anyway.\n",
                         command, PlainPasswordRisk(mac).c_str());
            return false;
    }
    return false;
}

int RunForget(std::span<const std::string> arguments) {
    MacAddress mac{};
    if (arguments.size() != 1 || !ParseMacArgument(arguments[0], mac)) {
        std::fprintf(stderr, "usage: ordvane-cli forget MAC  (e.g. 0A-51-4D-00-00-2A)\n");
        return kExitUsage;
    }
    KnownModules known = LoadKnownModulesFile("ordvane-cli forget");
    if (!known.Forget(mac)) {
        std::fprintf(stderr, "ordvane-cli forget: %s is not a known module\n",
                     FormatMacAddress(mac.data()).c_str());
        return kExitFailure;
    }
    return SaveKnownModulesFile("ordvane-cli forget", known) ? kExitSuccess : kExitFailure;
}

}  // namespace ordvane::cli
