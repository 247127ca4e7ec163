// The scan table with the fleet's warnings: which rows get which warning, that a warning stays
// with its module when the rows are sorted, and the three formats' warnings column. Also checks
// the small JSON checker the program tests rely on.

#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/ScanTable.h"
#include "tests/modlist/SampleResponses.h"

namespace ordvane::cli {
namespace {

using samples::SampleResponse;

// This host's one network: 192.168.0.0/24 on eth0.
std::vector<HostInterface> OneNetwork() {
    return {{"eth0", 0xC0A80002, 0xFFFFFF00}};
}

// 01 and 02 share 192.168.0.1; 03 is off the host's network; 0x101 ends in the same byte as 01;
// a module without MAC shares 03's address.
ScanTable SampleFleet() {
    ScanTable table(OneNetwork());
    table.Add(ordvane::ToModuleRecord(SampleResponse(0x01, 0xC0A80001)));
    table.Add(ordvane::ToModuleRecord(SampleResponse(0x02, 0xC0A80001)));
    table.Add(ordvane::ToModuleRecord(SampleResponse(0x03, 0x0A000003)));
    table.Add(ordvane::ToModuleRecord(SampleResponse(0x101, 0xC0A80009)));
    ZEVA_ModuleScanResponseType withoutMac = SampleResponse(0x04, 0x0A000003);
    withoutMac.macIdValid = 0;
    table.Add(ordvane::ToModuleRecord(withoutMac));
    return table;
}

std::map<std::string, std::string> KindsByMac(const std::vector<ModuleTableRow>& rows) {
    std::map<std::string, std::string> kinds;
    for (const ModuleTableRow& row : rows) {
        kinds[row.columns[kColumnMac]] = WarningKindsText(row.warnings);
    }
    return kinds;
}

// The library passes on one answer per sender, so a second answer for a MAC means a second
// device claims it: the row keeps the first answer and names the other's address.
TEST(ScanTableWarnings, ASecondAnswerForAMacMarksItsRowClaimedTwice) {
    ScanTable table(OneNetwork());
    EXPECT_TRUE(table.Add(ordvane::ToModuleRecord(SampleResponse(0x01, 0xC0A80001))));
    EXPECT_FALSE(table.Add(ordvane::ToModuleRecord(SampleResponse(0x01, 0xC0A80042))));
    const std::vector<ModuleTableRow> rows = table.Rows({kColumnIp, true});
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0].columns[kColumnIp], "192.168.0.1");
    EXPECT_EQ(WarningKindsText(rows[0].warnings), "mac-claimed-twice");
    EXPECT_NE(rows[0].warnings[0].sentence.find("192.168.0.66"), std::string::npos);
}

TEST(ScanTableWarnings, EachRowGetsItsWarningsWhateverTheSortOrder) {
    const ScanTable table = SampleFleet();
    EXPECT_EQ(table.RowCount(), 4U);
    const std::map<std::string, std::string> expected = {
        {"00-1B-C5-00-00-01", "duplicate-ip shared-recovery-address"},
        {"00-1B-C5-00-00-02", "duplicate-ip"},
        {"00-1B-C5-00-00-03", "duplicate-ip off-subnet"},
        {"00-1B-C5-00-01-01", "shared-recovery-address"},
    };
    for (const int column : {kColumnIp, kColumnMac, kColumnType}) {
        for (const bool ascending : {true, false}) {
            EXPECT_EQ(KindsByMac(table.Rows({column, ascending})), expected)
                << column << " " << ascending;
        }
    }
    const std::vector<ModuleTableRow> rows = table.Rows({kColumnMac, false});
    EXPECT_EQ(rows.front().columns[kColumnMac], "00-1B-C5-00-01-01");
    EXPECT_EQ(rows.back().warnings.at(1).sentence,
              "The recovery DHCP server would give the same address 10.200.1.1 to 1 other "
              "module: 00-1B-C5-00-01-01.");
    // The module without a MAC has no row but is named where it shares an address.
    EXPECT_EQ(rows.at(1).warnings.at(0).sentence,
              "The IP address 10.0.0.3 is also used by 1 other module: a module without MAC.");
}

TEST(ScanTableWarnings, WithoutTheHostsNetworksNoModuleIsOffSubnet) {
    ScanTable table;
    table.Add(ordvane::ToModuleRecord(SampleResponse(0x01, 0x0A000001)));
    EXPECT_EQ(KindsByMac(table.Rows({})),
              (std::map<std::string, std::string>{{"00-1B-C5-00-00-01", ""}}));
}

TEST(ScanTableWarnings, FormatsShowTheWarningsColumn) {
    const ScanTable table = SampleFleet();
    ScanTableOptions options;
    options.sort = {kColumnMac, true};

    options.format = TableFormat::kCsv;
    const std::string csv = table.Render(options);
    EXPECT_EQ(csv.substr(0, csv.find('\n') + 1), "IP,SN,GW,DHCP,Version,Type,MAC,Warnings\r\n");
    EXPECT_NE(csv.find(",00-1B-C5-00-00-03,duplicate-ip off-subnet\r\n"), std::string::npos) << csv;

    options.format = TableFormat::kJson;
    const std::string json = table.Render(options);
    const auto document = nlohmann::json::parse(json, nullptr, false);
    ASSERT_FALSE(document.is_discarded()) << json;
    EXPECT_EQ(document["format"], 1);
    ASSERT_EQ(document["modules"].size(), 4U) << json;
    const auto& second = document["modules"][1];
    EXPECT_EQ(second["mac"], "00-1B-C5-00-00-02");
    EXPECT_EQ(second["warnings"],
              nlohmann::json::parse(R"([{"kind": "duplicate-ip", "message": "The IP address )"
                                    R"(192.168.0.1 is also used by 1 other module: )"
                                    R"(00-1B-C5-00-00-01."}])"));

    options.format = TableFormat::kTable;
    const std::string text = table.Render(options);
    EXPECT_NE(text.find("00-1B-C5-00-00-02  duplicate-ip\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n\n00-1B-C5-00-00-01: The IP address 192.168.0.1 is also used by"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("00-1B-C5-00-00-03: The IP address 10.0.0.3 is on none of this "
                        "computer's networks (eth0 192.168.0.0/24).\n"),
              std::string::npos)
        << text;
}

}  // namespace
}  // namespace ordvane::cli
