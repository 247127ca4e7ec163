#include "modlist/ColumnList.h"

#include <gtest/gtest.h>

#include <climits>

#include "modlist/ModuleColumns.h"

namespace ordvane {
namespace {

std::string Describe(const std::vector<ColumnDefinition>& columns) {
    std::string text;
    for (const ColumnDefinition& column : columns) {
        text += "[" + column.heading + "|" + std::to_string(column.width) + "]";
    }
    return text;
}

TEST(ColumnList, TableColumnListGivesSevenColumns) {
    EXPECT_EQ(Describe(ParseColumnList(kModuleColumnList)),
              "[IP|90][SN|90][GW|90][DHCP|50][Version|50][Type|114][MAC|115]");
}

TEST(ColumnList, HeadingRunsToTheNextCommaAndTrailingPiecesAreIgnored) {
    EXPECT_EQ(Describe(ParseColumnList("IP,90;SN")), "[IP|90]");
    EXPECT_EQ(Describe(ParseColumnList("IP;SN,90")), "[IP;SN|90]");
    EXPECT_EQ(Describe(ParseColumnList("IP,;SN,50")), "[IP|0][SN|50]");
    EXPECT_EQ(Describe(ParseColumnList("IP,;SN,50;")), "[IP|0][SN|50]");
    EXPECT_EQ(Describe(ParseColumnList(" Host name ,12")), "[ Host name |12]");
    EXPECT_EQ(Describe(ParseColumnList("")), "");
    EXPECT_EQ(Describe(ParseColumnList(",")), "[|0]");
}

TEST(ColumnList, WidthIsReadLikeAtoiWithoutOverflow) {
    EXPECT_EQ(Describe(ParseColumnList("A, -5px;B,+7")), "[A|-5][B|7]");
    EXPECT_EQ(Describe(ParseColumnList("A,x9")), "[A|0]");
    EXPECT_EQ(ParseColumnList("A,99999999999999999999")[0].width, INT_MAX);
    EXPECT_EQ(Describe(ParseColumnList("A,1;2,3")), "[A|1][2|3]");
}

}  // namespace
}  // namespace ordvane
