#pragma once
// The scanned fleet, without any window: the modules' records in arrival order (the first
// answer per MAC wins until the fleet is cleared), their warnings, and the last configure or
// wink command sent, which outlives a new scan so that its outcome can still name its module.
// The window's module table displays it; the command line's scan uses it alike.

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "modlist/ModuleWarnings.h"
#include "modsvc/ModuleRecord.h"

namespace ordvane {

enum class SentCommand { kConfigure, kWink };

struct LastCommand {
    MacAddress mac;
    SentCommand command = SentCommand::kConfigure;
};

class Fleet {
public:
    // hostInterfaces: this host's networks, for the off-subnet warning; nullopt gives none.
    explicit Fleet(std::optional<std::vector<HostInterface>> hostInterfaces);

    // Stores the record unless its addressing MAC is already stored (then nullopt, nothing
    // changed). Otherwise returns what ModuleWarnings::Add returns: the new module's number,
    // then the older modules whose kinds of warning changed.
    std::optional<std::vector<std::size_t>> Add(ModuleRecord record,
                                                std::string_view reachedThrough = {});
    // Forgets every module and takes the host's networks anew; the last command stays.
    void Clear(std::optional<std::vector<HostInterface>> hostInterfaces);

    std::size_t Count() const { return m_records.size(); }
    // The record of a 0-based number in arrival order; nullptr outside the fleet.
    const ModuleRecord* At(std::size_t module) const {
        return module < m_records.size() ? &m_records[module] : nullptr;
    }
    const std::vector<ModuleRecord>& Records() const { return m_records; }
    // The record stored for an addressing MAC; nullptr when none is.
    const ModuleRecord* Find(const MacAddress& mac) const;
    const ModuleWarnings& Warnings() const { return m_warnings; }

    void NoteCommandSent(const MacAddress& mac, SentCommand command) {
        m_lastCommand = LastCommand{mac, command};
    }
    const std::optional<LastCommand>& GetLastCommand() const { return m_lastCommand; }
    // The target of the last command when it was a configure request.
    std::optional<MacAddress> ConfiguredMac() const;

private:
    std::vector<ModuleRecord> m_records;
    std::unordered_map<MacAddress, std::size_t> m_moduleByMac;
    ModuleWarnings m_warnings;
    std::optional<LastCommand> m_lastCommand;
};

}  // namespace ordvane
