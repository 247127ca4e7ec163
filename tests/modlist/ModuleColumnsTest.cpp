#include "modlist/ModuleColumns.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "SampleResponses.h"
#include "modlist/Fleet.h"

namespace ordvane {
namespace {

using ordvane::samples::SampleResponse;

TEST(ModuleColumns, PresentValuesShowInColumnOrder) {
    const ModuleColumnTexts texts = FormatModuleColumns(ToModuleRecord(SampleResponse()));
    const ModuleColumnTexts expected = {"192.168.0.1", "255.255.255.0", "192.168.0.254",    "On",
                                        "2.05.17",     "QM-Gateway 4",  "00-1B-C5-0A-FF-01"};
    EXPECT_EQ(texts, expected);
}

TEST(ModuleColumns, AbsentValuesShowNotAvailable) {
    ZEVA_ModuleScanResponseType response = SampleResponse();
    response.ipAddressValid = 0;
    response.subnetMaskValid = 0;
    response.gatewayValid = 0;
    response.dhcpValid = 0;
    response.fwVersionValid = 0;
    response.moduleTypeValid = 0;
    const ModuleColumnTexts texts = FormatModuleColumns(ToModuleRecord(response));
    for (std::size_t column = 0; column < kColumnMac; ++column) {
        EXPECT_EQ(texts[column], "N/A") << "column " << column;
    }
    EXPECT_EQ(texts[kColumnMac], "00-1B-C5-0A-FF-01");
}

TEST(ModuleColumns, ValueEdgesAndAnyNonzeroPresenceByte) {
    ZEVA_ModuleScanResponseType response = SampleResponse();
    response.ipAddress = 0;
    response.ipAddressValid = 7;
    response.fwMinor = 123;
    response.dhcp = 0;
    EXPECT_EQ(FormatModuleColumns(ToModuleRecord(response))[kColumnIp], "0.0.0.0");
    EXPECT_EQ(FormatModuleColumns(ToModuleRecord(response))[kColumnVersion], "2.123.17");
    EXPECT_EQ(FormatModuleColumns(ToModuleRecord(response))[kColumnDhcp], "Off");
    response.dhcp = 2;
    EXPECT_EQ(FormatModuleColumns(ToModuleRecord(response))[kColumnDhcp], "Off");
    response.fwMajor = 255;
    response.fwMinor = 0;
    response.fwBuild = 65535;
    EXPECT_EQ(FormatModuleColumns(ToModuleRecord(response))[kColumnVersion], "255.00.65535");
}

TEST(ModuleColumns, TypeWithoutTerminatorStaysWithinItsField) {
    // A heap copy of exactly the record's size, so that a read past the type field's end
    // into the following bytes is caught by the sanitizer build as well as by the value.
    auto response = std::make_unique<ZEVA_ModuleScanResponseType>(SampleResponse());
    std::memset(response->moduleType, 'x', sizeof response->moduleType);
    response->moduleTypeValid = 'y';
    const std::string type = FormatModuleColumns(ToModuleRecord(*response))[kColumnType];
    EXPECT_EQ(type, std::string(sizeof response->moduleType, 'x'));
}

TEST(ModuleColumns, RowOnlyWithValidMacAddress) {
    ZEVA_ModuleScanResponseType response = SampleResponse();
    EXPECT_TRUE(HasModuleRow(ToModuleRecord(response)));
    response.macIdValid = 0;
    EXPECT_FALSE(HasModuleRow(ToModuleRecord(response)));
}

TEST(Fleet, FirstAnswerPerMacWinsUntilCleared) {
    Fleet fleet(std::nullopt);
    ModuleRecord first = ToModuleRecord(SampleResponse());
    ModuleRecord second = first;
    second.ipAddress = Ipv4Address(0x0A000001);
    ModuleRecord other = first;
    other.mac = MacAddress(0x00, 0x1B, 0xC5, 0x0A, 0xFF, 0x02);
    ModuleRecord withoutMac = first;
    withoutMac.mac.reset();
    EXPECT_TRUE(fleet.Add(first));
    EXPECT_FALSE(fleet.Add(second));
    EXPECT_TRUE(fleet.Add(withoutMac)) << "stored, under the all-zero MAC";
    EXPECT_FALSE(fleet.Add(withoutMac));
    ASSERT_EQ(fleet.Count(), 2U);
    EXPECT_EQ(fleet.At(0)->ipAddress, first.ipAddress);
    EXPECT_EQ(fleet.At(2), nullptr);
    EXPECT_EQ(fleet.Find(*other.mac), nullptr);

    fleet.NoteCommandSent(*first.mac, SentCommand::kConfigure);
    fleet.Clear(std::nullopt);
    EXPECT_EQ(fleet.Count(), 0U);
    EXPECT_TRUE(fleet.Add(other));
    EXPECT_TRUE(fleet.Add(first));
    EXPECT_EQ(fleet.At(0)->mac, other.mac) << "arrival order";
    EXPECT_EQ(fleet.Find(*first.mac), fleet.At(1));
    EXPECT_EQ(fleet.ConfiguredMac(), first.mac) << "the last command outlives a new scan";
    fleet.NoteCommandSent(*other.mac, SentCommand::kWink);
    EXPECT_EQ(fleet.ConfiguredMac(), std::nullopt);
}

}  // namespace
}  // namespace ordvane
