#pragma once
// The scan responses accepted since the table was last emptied, in arrival order. The first
// response per MAC address wins: a later one with the same six bytes is dropped, whatever
// their presence bytes say.

#include <vector>

#include "modlist/MacAddressIndex.h"
#include "modsvc/ModuleService.h"

namespace ordvane {

class ModuleResponseStore {
public:
    // Stores a copy of the response; false, with nothing changed, when its MAC bytes are
    // already stored.
    bool Add(const ZEVA_ModuleScanResponseType& response);
    int GetCount() const;
    // The record at a 0-based index in arrival order; nullptr outside 0 to count - 1.
    const ZEVA_ModuleScanResponseType* GetAt(int index) const;
    void Clear();

private:
    std::vector<ZEVA_ModuleScanResponseType> m_responses;
    MacAddressIndex m_macAddresses;
};

}  // namespace ordvane
