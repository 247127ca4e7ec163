#pragma once
// The known-modules file (config/KnownModules.h) as the commands use it: read before a scan is
// trusted, written after one, with a warning on standard error when either fails (the commands
// go on: the library still remembers within the run).

#include <span>
#include <string>
#include <vector>

#include "config/KnownModules.h"

namespace ordvane::cli {

KnownModules LoadKnownModulesFile(const char* command);
bool SaveKnownModulesFile(const char* command, const KnownModules& known);

// Notes how each answer asks for passwords and writes the file when that changed anything.
void RememberKnownModules(const char* command, KnownModules& known,
                          const std::vector<ModuleRecord>& answers);

// Says why nothing goes to the module and returns false when a password would go in clear to
// it: always after it asked for hashed passwords, else without the user's consent.
[[nodiscard]] bool MayConfigure(const char* command, const KnownModules& known,
                                const ModuleRecord& module, bool passwordGiven,
                                bool plainPasswordConsent);

// ordvane-cli forget MAC
int RunForget(std::span<const std::string> arguments);

}  // namespace ordvane::cli
