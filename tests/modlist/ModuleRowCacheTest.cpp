// The table's row cache: its order and sort keys count only in the collation they were made in,
// and clearing it leaves no response pointing at a discarded entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modlist/ModuleRowCache.h"
#include "platform/ThreadLocale.h"

namespace {

using ordvane::ModuleEntry;
using ordvane::ModuleRowCache;

constexpr LCID kEnglishUnitedStates = 1033;

TEST(ModuleRowCache, OrderAndKeysHoldOnlyInTheirCollation) {
    if (!IsValidLocale(kEnglishUnitedStates, LCID_INSTALLED)) {
        GTEST_SKIP() << "en_US.UTF-8 is not installed";
    }
    ModuleRowCache rows;
    const std::vector<std::string> texts{"b-type", "10.0.0.1"};
    ModuleEntry& entry = rows.MakeEntry(texts, 3, 0);
    EXPECT_EQ(entry.columnTexts, (std::vector<std::string>{"b-type", "10.0.0.1", ""}));
    EXPECT_NE(entry.SortKeyAt(0), nullptr) << "keys are current, so a new entry gets its key";
    EXPECT_TRUE(rows.RowsAreInOrder());

    ASSERT_TRUE(SetThreadLocale(kEnglishUnitedStates));
    EXPECT_FALSE(rows.RowsAreInOrder());
    EXPECT_FALSE(rows.SortKeysAreCurrent());
    EXPECT_EQ(rows.MakeEntry(texts, 2, 0).SortKeyAt(0), nullptr);
    rows.PrepareSortKeys(1);
    EXPECT_TRUE(rows.SortKeysAreCurrent());
    EXPECT_EQ(entry.SortKeyAt(0), nullptr);
    EXPECT_NE(entry.SortKeyAt(1), nullptr);
    rows.NoteRowsSorted();
    EXPECT_TRUE(rows.RowsAreInOrder());
    rows.NoteRowOutOfOrder();
    EXPECT_FALSE(rows.RowsAreInOrder());
    SetThreadLocale(LOCALE_USER_DEFAULT);
    EXPECT_FALSE(rows.SortKeysAreCurrent());
}

TEST(ModuleRowCache, ClearForgetsEveryResponsesEntry) {
    ModuleRowCache rows;
    ModuleEntry& entry = rows.MakeEntry(std::vector<std::string>{"x"}, 1, 0);
    rows.AddModule(&entry);
    rows.AddModule(nullptr);  // a response without a row
    rows.NoteRowOutOfOrder();
    EXPECT_EQ(rows.EntryOfModule(0), &entry);
    EXPECT_EQ(rows.EntryOfModule(1), nullptr);
    EXPECT_EQ(rows.EntryOfModule(2), nullptr);
    rows.Clear();
    EXPECT_EQ(rows.EntryOfModule(0), nullptr);
    EXPECT_TRUE(rows.RowsAreInOrder());
}

}  // namespace
