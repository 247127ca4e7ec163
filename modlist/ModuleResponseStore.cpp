#include "modlist/ModuleResponseStore.h"

namespace ordvane {

bool ModuleResponseStore::Add(const ZEVA_ModuleScanResponseType& response) {
    if (!m_macAddresses.Insert(response.macId)) {
        return false;
    }
    m_responses.push_back(response);
    return true;
}

int ModuleResponseStore::GetCount() const {
    return static_cast<int>(m_responses.size());
}

const ZEVA_ModuleScanResponseType* ModuleResponseStore::GetAt(int index) const {
    if (index < 0 || index >= GetCount()) {
        return nullptr;
    }
    return &m_responses[static_cast<std::size_t>(index)];
}

void ModuleResponseStore::Clear() {
    m_responses.clear();
    m_macAddresses.Clear();
}

}  // namespace ordvane
