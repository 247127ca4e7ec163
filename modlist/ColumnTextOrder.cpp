#include "modlist/ColumnTextOrder.h"

#include "modlist/DottedQuad.h"
#include "platform/ThreadLocale.h"

namespace ordvane {

namespace {

int Sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

int AscendingOrder(const char* first, const char* second) {
    if (IsDottedQuad(first) && IsDottedQuad(second)) {
        return CompareDottedQuads(first, second);
    }
    return lstrcmpA(first, second);
}

}  // namespace

int CompareColumnTexts(const char* first, const char* second, bool ascending) {
    const char* firstText = first != nullptr ? first : "";
    const char* secondText = second != nullptr ? second : "";
    return ascending ? AscendingOrder(firstText, secondText)
                     : AscendingOrder(secondText, firstText);
}

ColumnSortKey ColumnSortKey::FromText(const char* text) {
    const char* safeText = text != nullptr ? text : "";
    ColumnSortKey key;
    key.m_isDottedQuad = IsDottedQuad(safeText);
    key.m_dottedQuadRank = key.m_isDottedQuad ? DottedQuadRank(safeText) : 0;
    key.m_collationKey = CollationSortKeyA(safeText);
    for (std::size_t index = 0; index < kPrefixWords * 8; ++index) {
        const std::uint64_t byte = index < key.m_collationKey.size()
                                       ? static_cast<unsigned char>(key.m_collationKey[index])
                                       : 0U;
        key.m_prefix[index / 8] |= byte << (8 * (7 - index % 8));
    }
    key.m_keyInPrefix = key.m_collationKey.size() < kPrefixWords * 8;
    return key;
}

int CompareSortKeys(const ColumnSortKey& first, const ColumnSortKey& second, bool ascending) {
    const ColumnSortKey& left = ascending ? first : second;
    const ColumnSortKey& right = ascending ? second : first;
    if (left.m_isDottedQuad && right.m_isDottedQuad) {
        return left.m_dottedQuadRank < right.m_dottedQuadRank
                   ? -1
                   : (left.m_dottedQuadRank > right.m_dottedQuadRank ? 1 : 0);
    }
    for (std::size_t word = 0; word < ColumnSortKey::kPrefixWords; ++word) {
        if (left.m_prefix[word] != right.m_prefix[word]) {
            return left.m_prefix[word] < right.m_prefix[word] ? -1 : 1;
        }
    }
    if (left.m_keyInPrefix || right.m_keyInPrefix) {
        // Keys hold no zero bytes, so a key that ends inside the prefix has a zero there where
        // any longer key has not: equal prefixes with one short key mean two equal keys.
        return 0;
    }
    return Sign(left.m_collationKey.compare(right.m_collationKey));
}

}  // namespace ordvane
