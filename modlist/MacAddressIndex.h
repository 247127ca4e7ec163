#pragma once
// The MAC addresses already stored, for a duplicate test in constant time per response.

#include <cstdint>
#include <unordered_set>

namespace ordvane {

class MacAddressIndex {
public:
    // Adds the six bytes; false when they were already there.
    bool Insert(const std::uint8_t* macId);
    bool Contains(const std::uint8_t* macId) const;
    void Clear();

private:
    static std::uint64_t Key(const std::uint8_t* macId);

    std::unordered_set<std::uint64_t> m_keys;
};

}  // namespace ordvane
