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
    return Sign(left.m_collationKey.compare(right.m_collationKey));
}

}  // namespace ordvane
