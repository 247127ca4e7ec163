// The list view's row store: insertion anywhere across block splits, erase, stable sort.

#include "platform/framework/ListRowStore.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using ordvane::framework::ListRow;
using ordvane::framework::ListRowStore;

namespace {

std::vector<DWORD_PTR> DataOf(const ListRowStore& store) {
    std::vector<DWORD_PTR> data;
    store.ForEach([&data](int, const ListRow& row) { data.push_back(row.data); });
    return data;
}

}  // namespace

TEST(ListRowStoreTest, InsertionsAtRandomPlacesMatchAPlainVectorAcrossBlockSplits) {
    ListRowStore store;
    std::vector<DWORD_PTR> expected;
    std::mt19937 random(7);
    for (DWORD_PTR value = 0; value < 5000; ++value) {
        const int index = static_cast<int>(random() % (expected.size() + 1));
        store.Insert(index).data = value;
        expected.insert(expected.begin() + index, value);
    }
    ASSERT_EQ(store.Count(), 5000);
    EXPECT_EQ(DataOf(store), expected);
    for (int index : {0, 1, 1023, 1024, 2500, 4999}) {
        EXPECT_EQ(store.At(index)->data, expected[static_cast<std::size_t>(index)]);
    }
    EXPECT_EQ(store.At(-1), nullptr);
    EXPECT_EQ(store.At(5000), nullptr);

    for (int i = 0; i < 3000; ++i) {
        const int index = static_cast<int>(random() % expected.size());
        ASSERT_TRUE(store.Erase(index));
        expected.erase(expected.begin() + index);
    }
    EXPECT_FALSE(store.Erase(static_cast<int>(expected.size())));
    EXPECT_EQ(DataOf(store), expected);
    EXPECT_EQ(store.Insert(1 << 20).data, 0U) << "an index past the end appends";
    EXPECT_EQ(store.Count(), static_cast<int>(expected.size()) + 1);
}

TEST(ListRowStoreTest, StableSortKeepsTheOrderOfEqualRows) {
    ListRowStore store;
    for (DWORD_PTR value = 0; value < 3000; ++value) {
        ListRow& row = store.Insert(store.Count());
        row.data = value;
        row.texts.push_back(std::to_string(value % 3));
    }
    store.StableSort([](const ListRow& a, const ListRow& b) { return a.texts[0] < b.texts[0]; });
    DWORD_PTR previous = 0;
    std::string previousKey;
    store.ForEach([&](int index, const ListRow& row) {
        if (index > 0 && row.texts[0] == previousKey) {
            EXPECT_GT(row.data, previous);
        }
        previous = row.data;
        previousKey = row.texts[0];
    });
    EXPECT_EQ(store.At(0)->texts[0], "0");
    EXPECT_EQ(store.At(2999)->texts[0], "2");
    store.Clear();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.Insert(3).data, 0U);
}
