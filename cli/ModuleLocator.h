#pragma once
// Finding one module by its MAC address with a scan through the module-service library.

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "modsvc/ModuleRecord.h"
#include "platform/AddressText.h"

namespace ordvane::cli {

// Starts the library with the event queue installed; false (with a message on stderr) when it
// does not start.
[[nodiscard]] bool StartModuleService();

// Takes the next answer off the library's queue, converted to the program's record; nullopt
// when none is queued. The commands take every answer through here.
std::optional<ModuleRecord> NextModuleRecord();

// Sends a scan and waits until the module with this MAC answers or the time is up. Other
// answers are dropped. nullopt when it did not answer in time.
[[nodiscard]] std::optional<ModuleRecord> ScanForModule(const MacAddress& mac,
                                                        std::chrono::milliseconds timeout);

// Sends a scan and gathers every answer for this MAC: waits until one arrives or the time is
// up, then on until the scan has run long enough for a second device claiming the same MAC to
// have answered as well (the library passes on one answer per sender).
[[nodiscard]] std::vector<ModuleRecord> ScanForModuleAnswers(const MacAddress& mac,
                                                             std::chrono::milliseconds timeout);

// When more than one device answered for the MAC, says so on standard error with the addresses
// they answered with, "<command>: two devices claim <MAC> (A and B); nothing was sent", and
// returns true: a password must never reach a host that answers in a module's name.
[[nodiscard]] bool RefuseMacClaimedTwice(const char* command, const MacAddress& mac,
                                         const std::vector<ModuleRecord>& answers);

// Drops the head of the library's invalid-password queue when it is this module, as the main
// window does; true when it was.
bool TakeOwnInvalidPassword(const MacAddress& mac);

// "MAC IP type" as ordvane-cli scan prints a module.
void PrintModuleLine(const ModuleRecord& module);

}  // namespace ordvane::cli
