#include "modlist/ColumnSpecification.h"

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

TEST(ColumnSpecification, TableSpecificationGivesSevenColumns) {
    EXPECT_EQ(Describe(ParseColumnSpecification(kModuleColumnSpecification)),
              "[IP|90][SN|90][GW|90][DHCP|50][Version|50][Type|114][MAC|115]");
}

TEST(ColumnSpecification, HeadingRunsToTheNextCommaAndTrailingPiecesAreIgnored) {
    EXPECT_EQ(Describe(ParseColumnSpecification("IP,90;SN")), "[IP|90]");
    EXPECT_EQ(Describe(ParseColumnSpecification("IP;SN,90")), "[IP;SN|90]");
    EXPECT_EQ(Describe(ParseColumnSpecification("IP,;SN,50")), "[IP|0][SN|50]");
    EXPECT_EQ(Describe(ParseColumnSpecification("IP,;SN,50;")), "[IP|0][SN|50]");
    EXPECT_EQ(Describe(ParseColumnSpecification(" Host name ,12")), "[ Host name |12]");
    EXPECT_EQ(Describe(ParseColumnSpecification("")), "");
    EXPECT_EQ(Describe(ParseColumnSpecification(",")), "[|0]");
}

TEST(ColumnSpecification, WidthIsReadLikeAtoiWithoutOverflow) {
    EXPECT_EQ(Describe(ParseColumnSpecification("A, -5px;B,+7")), "[A|-5][B|7]");
    EXPECT_EQ(Describe(ParseColumnSpecification("A,x9")), "[A|0]");
    EXPECT_EQ(ParseColumnSpecification("A,99999999999999999999")[0].width, INT_MAX);
    EXPECT_EQ(Describe(ParseColumnSpecification("A,1;2,3")), "[A|1][2|3]");
}

}  // namespace
}  // namespace ordvane
