#include "modlist/ModuleColumns.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "SampleResponses.h"
#include "modlist/ModuleResponseStore.h"

namespace ordvane {
namespace {

using ordvane::samples::SampleResponse;

TEST(ModuleColumns, PresentValuesShowInColumnOrder) {
    const ModuleColumnTexts texts = FormatModuleColumns(SampleResponse());
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
    const ModuleColumnTexts texts = FormatModuleColumns(response);
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
    EXPECT_EQ(FormatModuleColumns(response)[kColumnIp], "0.0.0.0");
    EXPECT_EQ(FormatModuleColumns(response)[kColumnVersion], "2.123.17");
    EXPECT_EQ(FormatModuleColumns(response)[kColumnDhcp], "Off");
    response.dhcp = 2;
    EXPECT_EQ(FormatModuleColumns(response)[kColumnDhcp], "Off");
    response.fwMajor = 255;
    response.fwMinor = 0;
    response.fwBuild = 65535;
    EXPECT_EQ(FormatModuleColumns(response)[kColumnVersion], "255.00.65535");
}

TEST(ModuleColumns, TypeWithoutTerminatorStaysWithinItsField) {
    // A heap copy of exactly the record's size, so that a read past the type field's end
    // into the following bytes is caught by the sanitizer build as well as by the value.
    auto response = std::make_unique<ZEVA_ModuleScanResponseType>(SampleResponse());
    std::memset(response->moduleType, 'x', sizeof response->moduleType);
    response->moduleTypeValid = 'y';
    const std::string type = FormatModuleColumns(*response)[kColumnType];
    EXPECT_EQ(type, std::string(sizeof response->moduleType, 'x'));
}

TEST(ModuleColumns, RowOnlyWithValidMacAddress) {
    ZEVA_ModuleScanResponseType response = SampleResponse();
    EXPECT_TRUE(HasModuleRow(response));
    response.macIdValid = 0;
    EXPECT_FALSE(HasModuleRow(response));
}

TEST(ModuleResponseStore, FirstAnswerPerMacWins) {
    ModuleResponseStore store;
    ZEVA_ModuleScanResponseType first = SampleResponse();
    ZEVA_ModuleScanResponseType second = SampleResponse();
    second.ipAddress = 0x0A000001;
    EXPECT_TRUE(store.Add(first));
    EXPECT_FALSE(store.Add(second));
    ASSERT_EQ(store.GetCount(), 1);
    EXPECT_EQ(store.GetAt(0)->ipAddress, first.ipAddress);
    EXPECT_EQ(store.GetAt(1), nullptr);
    EXPECT_EQ(store.GetAt(-1), nullptr);
}

TEST(ModuleResponseStore, ResponseWithoutValidMacIsStoredAndBlocksItsBytes) {
    ModuleResponseStore store;
    ZEVA_ModuleScanResponseType withoutMac = SampleResponse();
    withoutMac.macIdValid = 0;
    EXPECT_TRUE(store.Add(withoutMac));
    EXPECT_FALSE(store.Add(SampleResponse()));
    EXPECT_EQ(store.GetCount(), 1);
}

TEST(ModuleResponseStore, ClearAcceptsTheSameModuleAgainInArrivalOrder) {
    ModuleResponseStore store;
    ZEVA_ModuleScanResponseType other = SampleResponse();
    other.macId[5] = 0x02;
    EXPECT_TRUE(store.Add(SampleResponse()));
    EXPECT_TRUE(store.Add(other));
    store.Clear();
    EXPECT_EQ(store.GetCount(), 0);
    EXPECT_TRUE(store.Add(other));
    EXPECT_TRUE(store.Add(SampleResponse()));
    EXPECT_EQ(store.GetAt(0)->macId[5], 0x02);
    EXPECT_EQ(store.GetAt(1)->macId[5], 0x01);
}

}  // namespace
}  // namespace ordvane
