#include "journal/PendingChanges.h"

#include "platform/AddressText.h"

namespace ordvane {

namespace {

constexpr const char* kNoOutcome = "no-outcome";

}  // namespace

PendingChanges::~PendingChanges() {
    FinishAll(kNoOutcome);
}

void PendingChanges::Hold(ChangeEntry entry) {
    const auto open = m_open.find(entry.mac);
    if (open != m_open.end()) {
        open->second.result = kNoOutcome;
        ChangeJournal().Record(open->second);
        m_open.erase(open);
    }
    std::string mac = entry.mac;
    m_open.emplace(std::move(mac), std::move(entry));
}

void PendingChanges::Finish(const std::uint8_t* mac, const std::string& result) {
    const auto open = m_open.find(FormatMacAddress(mac));
    if (open == m_open.end()) {
        return;
    }
    open->second.result = result;
    ChangeJournal().Record(open->second);
    m_open.erase(open);
}

void PendingChanges::FinishAll(const std::string& result) {
    for (auto& [mac, entry] : m_open) {
        entry.result = result;
        ChangeJournal().Record(entry);
    }
    m_open.clear();
}

}  // namespace ordvane
