#include "config/ModuleLookup.h"

namespace ordvane {

bool HasMacAddress(const ZEVA_ModuleScanResponseType& module, const MacAddress& mac) {
    return std::memcmp(module.macId, mac.data(), mac.size()) == 0;
}

}  // namespace ordvane
