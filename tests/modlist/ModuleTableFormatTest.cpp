#include "cli/ModuleTableFormat.h"
#include "cli/TerminalText.h"

#include <gtest/gtest.h>

#include "SampleResponses.h"
#include "cli/ScanTable.h"

namespace ordvane::cli {
namespace {

ModuleTableRow SampleRow(const char* type) {
    return {{"10.0.0.9", "255.0.0.0", "N/A", "On", "2.05.17", type, "00-1B-C5-0A-FF-01"}, {}};
}

TEST(ModuleTableFormat, ParsesFormatsAndSortColumns) {
    TableFormat format = TableFormat::kTable;
    EXPECT_TRUE(ParseTableFormat("csv", &format));
    EXPECT_EQ(format, TableFormat::kCsv);
    EXPECT_TRUE(ParseTableFormat("json", &format));
    EXPECT_EQ(format, TableFormat::kJson);
    EXPECT_FALSE(ParseTableFormat("xml", &format));

    TableSort sort;
    std::string error;
    EXPECT_TRUE(ParseTableSort("mac:desc", &sort, &error));
    EXPECT_EQ(sort.column, kColumnMac);
    EXPECT_FALSE(sort.ascending);
    EXPECT_TRUE(ParseTableSort("Version", &sort, &error));
    EXPECT_EQ(sort.column, kColumnVersion);
    EXPECT_TRUE(sort.ascending);
    EXPECT_TRUE(ParseTableSort("2:asc", &sort, &error));
    EXPECT_EQ(sort.column, kColumnGateway);
    EXPECT_FALSE(ParseTableSort("7", &sort, &error));
    EXPECT_FALSE(ParseTableSort("IP:down", &sort, &error));
    EXPECT_NE(error.find("down"), std::string::npos);
    EXPECT_FALSE(ParseTableSort("", &sort, &error));
}

TEST(ModuleTableFormat, TableAlignsColumnsUnderTheirHeadings) {
    const std::string table = FormatModuleTable({SampleRow("QM")}, TableFormat::kTable);
    EXPECT_EQ(table,
              "IP        SN         GW   DHCP  Version  Type  MAC                Warnings\n"
              "10.0.0.9  255.0.0.0  N/A  On    2.05.17  QM    00-1B-C5-0A-FF-01\n");
}

TEST(ModuleTableFormat, TableShowsControlCharactersEscaped) {
    const std::string table = FormatModuleTable({SampleRow("\x1B[2J\t")}, TableFormat::kTable);
    EXPECT_NE(table.find("\\x1B[2J\\x09"), std::string::npos) << table;
    EXPECT_EQ(table.find('\x1B'), std::string::npos);
}

TEST(ModuleTableFormat, TerminalSafeEscapesControlsAndBrokenUtf8Only) {
    struct Case {
        const char* text;
        const char* shown;
    };
    for (const Case& c :
         {Case{"QM-240 \xE2\x82\xAC caf\xC3\xA9", "QM-240 \xE2\x82\xAC caf\xC3\xA9"},
          Case{"\x1B]0;owned\x07", "\\x1B]0;owned\\x07"},
          Case{"a\x7F"
               "b",
               "a\\x7Fb"},
          Case{"\xC2\x9B"
               "2J",
               "\\xC2\\x9B2J"},  // C1 CSI in UTF-8
          Case{"\x9B"
               "2J",
               "\\x9B2J"},                             // C1 CSI as one byte
          Case{"\xE2\x82", "\\xE2\\x82"},              // cut short
          Case{"\xC0\xAF", "\\xC0\\xAF"},              // overlong
          Case{"\xED\xA0\x80", "\\xED\\xA0\\x80"}}) {  // surrogate
        EXPECT_EQ(ordvane::cli::TerminalSafe(c.text), c.shown) << c.shown;
    }
}

TEST(ModuleTableFormat, CsvQuotesOnlyWhatNeedsIt) {
    const std::string csv = FormatModuleTable({SampleRow("QM \"4\", rev\nB")}, TableFormat::kCsv);
    EXPECT_EQ(
        csv,
        "IP,SN,GW,DHCP,Version,Type,MAC,Warnings\r\n"
        // A line break from the network shows as \x0A, as in the table.
        "10.0.0.9,255.0.0.0,N/A,On,2.05.17,\"QM \"\"4\"\", rev\\x0AB\",00-1B-C5-0A-FF-01,\r\n");
}

TEST(ModuleTableFormat, JsonEscapesAndReplacesBytesThatAreNotUtf8) {
    EXPECT_EQ(FormatModuleTable({}, TableFormat::kJson), "{\"format\": 1, \"modules\": []}\n");
    const std::string json =
        FormatModuleTable({SampleRow("a\"\\\x01\xC3\xA9\xFF\xC3")}, TableFormat::kJson);
    EXPECT_EQ(
        json,
        "{\"format\": 1, \"modules\": [\n  {\"ip\":\"10.0.0.9\",\"sn\":\"255.0.0.0\",\"gw\":null,"
        "\"dhcp\":true,\"version\":\"2.05.17\",\"type\":\"a\\\"\\\\\\u0001\xC3\xA9\xEF\xBF\xBD"
        "\xEF\xBF\xBD\",\"mac\":\"00-1B-C5-0A-FF-01\",\"warnings\":[]}\n]}\n");
}

TEST(ScanTable, KeepsTheWindowsRowsAndOrder) {
    using ordvane::samples::SampleResponse;
    ScanTable table;
    table.Add(ordvane::ToModuleRecord(SampleResponse(1, 0x0A00000A)));
    table.Add(ordvane::ToModuleRecord(
        SampleResponse(1, 0x0A000001)));  // repeated answer: the first one stays
    table.Add(ordvane::ToModuleRecord(SampleResponse(2, 0x09000001)));
    ZEVA_ModuleScanResponseType withoutMac = SampleResponse(3, 0x01000001);
    withoutMac.macIdValid = 0;
    table.Add(ordvane::ToModuleRecord(withoutMac));
    EXPECT_EQ(table.RowCount(), 2U);
    ScanTableOptions options;
    options.format = TableFormat::kCsv;
    const std::string csv = table.Render(options);
    EXPECT_LT(csv.find("9.0.0.1,"), csv.find("10.0.0.10,")) << csv;
    EXPECT_EQ(csv.find("10.0.0.1,"), std::string::npos);
    options.sort.ascending = false;
    const std::string descending = table.Render(options);
    EXPECT_GT(descending.find("9.0.0.1,"), descending.find("10.0.0.10,"));
}

}  // namespace
}  // namespace ordvane::cli
