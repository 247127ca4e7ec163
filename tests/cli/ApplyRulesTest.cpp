// The apply rules without a network: a plan row set against scanned records, the result a
// rescan settles, and the exit status of a whole run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/ApplyPlan.h"
#include "cli/ExitStatus.h"

namespace ordvane::cli {
namespace {

constexpr std::uint32_t kPlanned = 0x0A000014;  // 10.0.0.20

ModuleRecord Module(std::uint8_t lastMacByte, std::uint32_t ipAddress) {
    ModuleRecord module;
    module.mac = MacAddress(0x0A, 0x51, 0x4D, 0x00, 0x00, lastMacByte);
    module.ipAddress = Ipv4Address(ipAddress);
    module.subnetMask = Ipv4Address(0xFFFFFF00);
    module.dhcp = false;
    return module;
}

PlanRow Row(std::uint8_t lastMacByte) {
    PlanRow row;
    row.line = 2;
    row.mac = MacAddress(0x0A, 0x51, 0x4D, 0x00, 0x00, lastMacByte);
    row.ipAddress = kPlanned;
    return row;
}

TEST(ApplyRules, PrepareSetsEachRowAgainstTheScan) {
    ModuleRecord dhcpByteTwo = Module(1, 0x0A00000A);
    dhcpByteTwo.dhcp = ToModuleRecord([] {
                           ZEVA_ModuleScanResponseType answer{};
                           answer.dhcp = 2;  // not 1: off
                           answer.dhcpValid = 1;
                           return answer;
                       }())
                           .dhcp;
    ModuleRecord noDns = Module(1, kPlanned);
    struct Case {
        const char* name;
        PlanRow row;
        std::vector<ModuleRecord> scanned;
        bool changePassword;
        ApplyResult result;
        std::vector<ModuleSetting> changes;
        std::string firstProblem;
    };
    PlanRow dnsRow = Row(1);
    dnsRow.primaryDns = 0x08080808;
    PlanRow dhcpOffRow = Row(1);
    dhcpOffRow.ipAddress.reset();
    dhcpOffRow.dhcpOn = false;
    PlanRow dhcpOnRow = dhcpOffRow;
    dhcpOnRow.dhcpOn = true;
    dhcpOnRow.ipAddress = 0x0A0000FE;  // the DHCP server decides: not compared
    const Case cases[] = {
        {"at plan", Row(1), {Module(1, kPlanned)}, false, ApplyResult::kUnchanged, {}, ""},
        {"address differs",
         Row(1),
         {Module(1, 0x0A00000A)},
         false,
         ApplyResult::kToChange,
         {ModuleSetting::kIp},
         ""},
        {"password only", Row(1), {Module(1, kPlanned)}, true, ApplyResult::kToChange, {}, ""},
        {"DHCP byte 2 is off", dhcpOffRow, {dhcpByteTwo}, false, ApplyResult::kUnchanged, {}, ""},
        {"DHCP byte 2 planned on",
         dhcpOnRow,
         {dhcpByteTwo},
         false,
         ApplyResult::kToChange,
         {ModuleSetting::kDhcp},
         ""},
        {"not found",
         Row(1),
         {Module(2, 0x0A00000A)},
         false,
         ApplyResult::kNotSent,
         {},
         "module not found in the scan"},
        {"unreported setting",
         dnsRow,
         {noDns},
         false,
         ApplyResult::kNotSent,
         {ModuleSetting::kDns1},
         "the module does not report DNS1, so it cannot be set"},
        {"address taken",
         Row(1),
         {Module(1, 0x0A00000A), Module(2, kPlanned)},
         false,
         ApplyResult::kNotSent,
         {ModuleSetting::kIp},
         "IP 10.0.0.20 is in use by 0A-51-4D-00-00-02"},
        {"MAC claimed twice",
         Row(1),
         {Module(1, 0x0A00000A), Module(1, 0x0A00000B)},
         false,
         ApplyResult::kNotSent,
         {ModuleSetting::kIp},
         "MAC claimed by two devices"},
    };
    for (const Case& c : cases) {
        const std::vector<ApplyItem> items = PrepareApply({c.row}, c.scanned, c.changePassword);
        ASSERT_EQ(items.size(), 1u) << c.name;
        EXPECT_EQ(items[0].result, c.result) << c.name;
        EXPECT_EQ(items[0].changes, c.changes) << c.name;
        EXPECT_EQ(items[0].passwordChanges, c.changePassword && items[0].before) << c.name;
        EXPECT_EQ(items[0].problems.empty() ? "" : items[0].problems[0], c.firstProblem) << c.name;
    }
}

TEST(ApplyRules, TheRescanSettlesEachSentRowAndTheRunsExitStatus) {
    const ModuleRecord before = Module(1, 0x0A00000A);
    PlanRow atPlan = Row(2);
    atPlan.line = 3;
    atPlan.ipAddress = 0x0A00001E;
    struct Case {
        const char* name;
        std::optional<ModuleRecord> after;
        bool refusedPassword;
        ApplyResult result;
        int exitStatus;  // of a run with this row and one unchanged row
    };
    const Case cases[] = {
        {"verified", Module(1, kPlanned), false, ApplyResult::kVerified, kExitSuccess},
        {"refused", Module(1, kPlanned), true, ApplyResult::kRefusedPassword, kExitInvalidPassword},
        {"silent", std::nullopt, false, ApplyResult::kNoAnswer, kExitTimeout},
        {"unchanged values", before, false, ApplyResult::kNoAnswer, kExitTimeout},
        {"another address", Module(1, 0x0A000063), false, ApplyResult::kNotAsPlanned, kExitFailure},
    };
    for (const Case& c : cases) {
        std::vector<ApplyItem> items =
            PrepareApply({Row(1), atPlan}, {before, Module(2, 0x0A00001E)}, false);
        ASSERT_EQ(items[0].result, ApplyResult::kToChange) << c.name;
        SettleApplyResult(items[0], c.after, c.refusedPassword);
        EXPECT_EQ(items[0].result, c.result) << c.name;
        EXPECT_EQ(ApplyExitStatus(items), c.exitStatus) << c.name;
    }
}

}  // namespace
}  // namespace ordvane::cli
