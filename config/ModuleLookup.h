#pragma once
// Finding a module's stored scan answer by its MAC address.

#include <cstring>
#include <type_traits>

#include "platform/AddressText.h"
#include "modsvc/ModuleService.h"

namespace ordvane {

bool HasMacAddress(const ZEVA_ModuleScanResponseType& module, const MacAddress& mac);

namespace detail {
inline const ZEVA_ModuleScanResponseType* AsModulePointer(const ZEVA_ModuleScanResponseType* p) {
    return p;
}
inline const ZEVA_ModuleScanResponseType* AsModulePointer(const ZEVA_ModuleScanResponseType& r) {
    return &r;
}
}  // namespace detail

// Walks the store from index 0 upwards (arrival order) and copies the first record whose six
// MAC bytes equal mac. The store offers GetModuleCount() and GetModuleAt(index), the latter
// giving a record by reference or pointer. Returns false, copy untouched, when none matches.
template <typename ModuleStore>
bool FindFirstModuleWithMac(const ModuleStore& store, const MacAddress& mac,
                            ZEVA_ModuleScanResponseType& copy) {
    const int count = static_cast<int>(store.GetModuleCount());
    for (int index = 0; index < count; ++index) {
        const ZEVA_ModuleScanResponseType* module =
            detail::AsModulePointer(store.GetModuleAt(index));
        if (module != nullptr && HasMacAddress(*module, mac)) {
            std::memcpy(&copy, module, sizeof copy);
            return true;
        }
    }
    return false;
}

}  // namespace ordvane
