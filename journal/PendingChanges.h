#pragma once
// Journal entries of requests that are out and whose outcome comes later, one per module: the
// window learns a configure's outcome from a library event, apply from its verifying rescan.
// Each entry is written once its result is known; whatever is still open when the holder goes
// away is written with the result "no-outcome", so that no change sent goes unrecorded. Each
// entry goes to the journal the environment names at the time it is written.

#include <cstdint>
#include <map>
#include <string>

#include "journal/ChangeEntry.h"
#include "journal/ChangeJournal.h"

namespace ordvane {

class PendingChanges {
public:
    PendingChanges() = default;
    ~PendingChanges();
    PendingChanges(const PendingChanges&) = delete;
    PendingChanges& operator=(const PendingChanges&) = delete;

    // Holds the entry of a request just sent; an entry still open for the same module is
    // written first, as "no-outcome".
    void Hold(ChangeEntry entry);

    // Writes the module's open entry with this result; nothing when none is open.
    void Finish(const std::uint8_t* mac, const std::string& result);

    // Writes every open entry with this result.
    void FinishAll(const std::string& result);

private:
    std::map<std::string, ChangeEntry> m_open;  // by MAC text
};

}  // namespace ordvane
