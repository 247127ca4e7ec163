#include "modlist/ModuleColumns.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "modlist/ModuleResponseStore.h"

namespace ordvane {
namespace {

ZEVA_ModuleScanResponseType FullResponse() {
    ZEVA_ModuleScanResponseType response{};
    std::strcpy(response.moduleType, "QM-Gateway 4");
    response.moduleTypeValid = 1;
    response.fwMajor = 2;
    response.fwMinor = 5;
    response.fwBuild = 17;
    response.fwVersionValid = 1;
    const std::uint8_t mac[6] = {0x00, 0x1b, 0xc5, 0x0a, 0xff, 0x01};
    std::memcpy(response.macId, mac, sizeof mac);
    response.macIdValid = 1;
    response.ipAddress = 0xC0A80001;  // 192.168.0.1
    response.ipAddressValid = 1;
    response.subnetMask = 0xFFFFFF00;
    response.subnetMaskValid = 1;
    response.gateway = 0xC0A800FE;
    response.gatewayValid = 1;
    response.dhcp = 1;
    response.dhcpValid = 1;
    return response;
}

TEST(ModuleColumns, PresentValuesShowInColumnOrder) {
    const ModuleColumnTexts texts = FormatModuleColumns(FullResponse());
    const ModuleColumnTexts expected = {"192.168.0.1", "255.255.255.0", "192.168.0.254",    "On",
                                        "2.05.17",     "QM-Gateway 4",  "00-1B-C5-0A-FF-01"};
    EXPECT_EQ(texts, expected);
}

TEST(ModuleColumns, AbsentValuesShowNotAvailable) {
    ZEVA_ModuleScanResponseType response = FullResponse();
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
    ZEVA_ModuleScanResponseType response = FullResponse();
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
    auto response = std::make_unique<ZEVA_ModuleScanResponseType>(FullResponse());
    std::memset(response->moduleType, 'x', sizeof response->moduleType);
    response->moduleTypeValid = 'y';
    const std::string type = FormatModuleColumns(*response)[kColumnType];
    EXPECT_EQ(type, std::string(sizeof response->moduleType, 'x'));
}

TEST(ModuleColumns, RowOnlyWithValidMacAddress) {
    ZEVA_ModuleScanResponseType response = FullResponse();
    EXPECT_TRUE(HasModuleRow(response));
    response.macIdValid = 0;
    EXPECT_FALSE(HasModuleRow(response));
}

TEST(ModuleResponseStore, FirstAnswerPerMacWins) {
    ModuleResponseStore store;
    ZEVA_ModuleScanResponseType first = FullResponse();
    ZEVA_ModuleScanResponseType second = FullResponse();
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
    ZEVA_ModuleScanResponseType withoutMac = FullResponse();
    withoutMac.macIdValid = 0;
    EXPECT_TRUE(store.Add(withoutMac));
    EXPECT_FALSE(store.Add(FullResponse()));
    EXPECT_EQ(store.GetCount(), 1);
}

TEST(ModuleResponseStore, ClearAcceptsTheSameModuleAgainInArrivalOrder) {
    ModuleResponseStore store;
    ZEVA_ModuleScanResponseType other = FullResponse();
    other.macId[5] = 0x02;
    EXPECT_TRUE(store.Add(FullResponse()));
    EXPECT_TRUE(store.Add(other));
    store.Clear();
    EXPECT_EQ(store.GetCount(), 0);
    EXPECT_TRUE(store.Add(other));
    EXPECT_TRUE(store.Add(FullResponse()));
    EXPECT_EQ(store.GetAt(0)->macId[5], 0x02);
    EXPECT_EQ(store.GetAt(1)->macId[5], 0x01);
}

}  // namespace
}  // namespace ordvane
