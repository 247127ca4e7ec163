#pragma once
// The order of two texts of one table column: dotted quads by value, everything else as text
// in the calling thread's collation (lstrcmpA, case-sensitive).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace ordvane {

// Negative when first sorts before second in the given direction, positive when after, zero
// when equal. Both texts are dotted quads: compared by value. Otherwise - including a dotted
// quad beside a text that is not one, such as "N/A" - compared as text, in both orders alike.
int CompareColumnTexts(const char* first, const char* second, bool ascending);

// One column text prepared once for many comparisons: CompareSortKeys of two keys gives the
// sign that CompareColumnTexts gives for their texts, provided both keys were made under the
// collation that is in effect for the comparison.
class ColumnSortKey {
public:
    ColumnSortKey() = default;
    static ColumnSortKey FromText(const char* text);

    friend int CompareSortKeys(const ColumnSortKey& first, const ColumnSortKey& second,
                               bool ascending);

private:
    // The first bytes of the collation key, most significant first and padded with zeros
    // (keys hold no zero bytes): most comparisons are settled here without reaching the key's
    // own storage.
    static constexpr std::size_t kPrefixWords = 4;

    bool m_isDottedQuad = false;
    // The whole key and at least one zero byte of padding fit in the prefix (MAC addresses,
    // type names in byte order): equal prefixes then mean equal keys, and the key's own
    // storage is never read.
    bool m_keyInPrefix = false;
    std::uint64_t m_dottedQuadRank = 0;
    std::array<std::uint64_t, kPrefixWords> m_prefix{};
    std::string m_collationKey;
};

int CompareSortKeys(const ColumnSortKey& first, const ColumnSortKey& second, bool ascending);

}  // namespace ordvane
