#include "platform/framework/ListRowStore.h"

#include <algorithm>

namespace ordvane::framework {

std::pair<std::size_t, int> ListRowStore::Locate(int index) const {
    // The last block whose first row is at or before index.
    const auto after = std::upper_bound(m_blockStarts.begin(), m_blockStarts.end(), index);
    const auto block = static_cast<std::size_t>(std::distance(m_blockStarts.begin(), after) - 1);
    return {block, index - m_blockStarts[block]};
}

void ListRowStore::RenumberFrom(std::size_t block) {
    for (std::size_t i = block; i < m_blocks.size(); ++i) {
        m_blockStarts[i] =
            i == 0 ? 0 : m_blockStarts[i - 1] + static_cast<int>(m_blocks[i - 1].size());
    }
}

ListRow& ListRowStore::Insert(int index) {
    index = std::clamp(index, 0, m_count);
    if (m_blocks.empty()) {
        m_blocks.emplace_back();
        m_blockStarts.push_back(0);
    }
    std::size_t block = 0;
    int offset = 0;
    if (index == m_count) {
        block = m_blocks.size() - 1;
        offset = static_cast<int>(m_blocks[block].size());
    } else {
        std::tie(block, offset) = Locate(index);
    }
    Block& rows = m_blocks[block];
    auto inserted = rows.insert(rows.begin() + offset, std::make_unique<ListRow>());
    ListRow& row = **inserted;
    ++m_count;
    if (static_cast<int>(rows.size()) > kMaxBlockRows) {
        // Split the full block in two halves.
        Block upper(std::make_move_iterator(rows.begin() + kMaxBlockRows / 2),
                    std::make_move_iterator(rows.end()));
        rows.erase(rows.begin() + kMaxBlockRows / 2, rows.end());
        m_blocks.insert(m_blocks.begin() + static_cast<std::ptrdiff_t>(block) + 1,
                        std::move(upper));
        m_blockStarts.insert(m_blockStarts.begin() + static_cast<std::ptrdiff_t>(block) + 1, 0);
    }
    RenumberFrom(block + 1);
    return row;
}

ListRow* ListRowStore::At(int index) {
    if (index < 0 || index >= m_count) {
        return nullptr;
    }
    const auto [block, offset] = Locate(index);
    return m_blocks[block][static_cast<std::size_t>(offset)].get();
}

const ListRow* ListRowStore::At(int index) const {
    return const_cast<ListRowStore*>(this)->At(index);
}

bool ListRowStore::Erase(int index) {
    if (index < 0 || index >= m_count) {
        return false;
    }
    const auto [block, offset] = Locate(index);
    Block& rows = m_blocks[block];
    rows.erase(rows.begin() + offset);
    --m_count;
    if (rows.empty()) {
        m_blocks.erase(m_blocks.begin() + static_cast<std::ptrdiff_t>(block));
        m_blockStarts.erase(m_blockStarts.begin() + static_cast<std::ptrdiff_t>(block));
    }
    RenumberFrom(block);
    return true;
}

void ListRowStore::Clear() {
    m_blocks.clear();
    m_blockStarts.clear();
    m_count = 0;
}

std::vector<std::unique_ptr<ListRow>> ListRowStore::TakeAll() {
    std::vector<std::unique_ptr<ListRow>> rows;
    rows.reserve(static_cast<std::size_t>(m_count));
    for (Block& block : m_blocks) {
        for (std::unique_ptr<ListRow>& row : block) {
            rows.push_back(std::move(row));
        }
    }
    Clear();
    return rows;
}

void ListRowStore::Refill(std::vector<std::unique_ptr<ListRow>> rows) {
    Clear();
    constexpr std::size_t kFill = kMaxBlockRows / 2;
    for (std::size_t first = 0; first < rows.size(); first += kFill) {
        const std::size_t last = std::min(rows.size(), first + kFill);
        m_blockStarts.push_back(static_cast<int>(first));
        m_blocks.emplace_back(
            std::make_move_iterator(rows.begin() + static_cast<std::ptrdiff_t>(first)),
            std::make_move_iterator(rows.begin() + static_cast<std::ptrdiff_t>(last)));
    }
    m_count = static_cast<int>(rows.size());
}

}  // namespace ordvane::framework
