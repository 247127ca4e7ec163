#include "modlist/Fleet.h"

#include <utility>

namespace ordvane {

Fleet::Fleet(std::optional<std::vector<HostInterface>> hostInterfaces)
    : m_warnings(std::move(hostInterfaces)) {}

std::optional<std::vector<std::size_t>> Fleet::Add(ModuleRecord record,
                                                   std::string_view reachedThrough) {
    if (!m_moduleByMac.try_emplace(record.AddressingMac(), m_records.size()).second) {
        return std::nullopt;
    }
    std::vector<std::size_t> changed = m_warnings.Add(record, reachedThrough);
    m_records.push_back(std::move(record));
    return changed;
}

void Fleet::Clear(std::optional<std::vector<HostInterface>> hostInterfaces) {
    m_records.clear();
    m_moduleByMac.clear();
    m_warnings = ModuleWarnings(std::move(hostInterfaces));
}

const ModuleRecord* Fleet::Find(const MacAddress& mac) const {
    const auto found = m_moduleByMac.find(mac);
    return found != m_moduleByMac.end() ? &m_records[found->second] : nullptr;
}

std::optional<MacAddress> Fleet::ConfiguredMac() const {
    if (m_lastCommand && m_lastCommand->command == SentCommand::kConfigure) {
        return m_lastCommand->mac;
    }
    return std::nullopt;
}

}  // namespace ordvane
