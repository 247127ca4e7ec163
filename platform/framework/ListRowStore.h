#pragma once
// The rows of a list view: texts per column, the item data and the state flags. Rows live in
// blocks of at most kMaxBlockRows, with the index of each block's first row kept beside them,
// so that an insertion at any index moves at most one block's row pointers and finding a row
// by index is a binary search over the blocks. Qt-free.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/framework/WinConstants.h"

namespace ordvane::framework {

struct ListRow {
    std::vector<std::string> texts;  // one per column that has been set; missing ones are empty
    DWORD_PTR data = 0;
    UINT state = 0;        // LVIS_SELECTED, LVIS_FOCUSED
    bool warning = false;  // drawn on the warning background
};

class ListRowStore {
public:
    static constexpr int kMaxBlockRows = 1024;

    int Count() const { return m_count; }
    // Inserts an empty row at index (clamped to 0..Count()) and returns it.
    ListRow& Insert(int index);
    // nullptr outside 0..Count()-1.
    ListRow* At(int index);
    const ListRow* At(int index) const;
    bool Erase(int index);
    void Clear();

    // Reorders the rows stably by less(first, second).
    template <typename Less>
    void StableSort(Less less);

    // Calls visit(index, row) for every row in order.
    template <typename Visit>
    void ForEach(Visit visit) const;

private:
    using Block = std::vector<std::unique_ptr<ListRow>>;

    // The block that holds index and the offset inside it.
    std::pair<std::size_t, int> Locate(int index) const;
    void RenumberFrom(std::size_t block);
    std::vector<std::unique_ptr<ListRow>> TakeAll();
    void Refill(std::vector<std::unique_ptr<ListRow>> rows);

    std::vector<Block> m_blocks;
    std::vector<int> m_blockStarts;  // index of the first row of each block
    int m_count = 0;
};

template <typename Less>
void ListRowStore::StableSort(Less less) {
    std::vector<std::unique_ptr<ListRow>> rows = TakeAll();
    std::stable_sort(
        rows.begin(), rows.end(),
        [&less](const std::unique_ptr<ListRow>& first, const std::unique_ptr<ListRow>& second) {
            return less(*first, *second);
        });
    Refill(std::move(rows));
}

template <typename Visit>
void ListRowStore::ForEach(Visit visit) const {
    int index = 0;
    for (const Block& block : m_blocks) {
        for (const std::unique_ptr<ListRow>& row : block) {
            visit(index++, *row);
        }
    }
}

}  // namespace ordvane::framework
