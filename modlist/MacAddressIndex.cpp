#include "modlist/MacAddressIndex.h"

namespace ordvane {

std::uint64_t MacAddressIndex::Key(const std::uint8_t* macId) {
    std::uint64_t key = 0;
    for (int index = 0; index < 6; ++index) {
        key = (key << 8) | macId[index];
    }
    return key;
}

bool MacAddressIndex::Insert(const std::uint8_t* macId) {
    return m_keys.insert(Key(macId)).second;
}

bool MacAddressIndex::Contains(const std::uint8_t* macId) const {
    return m_keys.count(Key(macId)) != 0;
}

void MacAddressIndex::Clear() {
    m_keys.clear();
}

}  // namespace ordvane
