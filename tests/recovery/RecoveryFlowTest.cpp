// The one-step recovery's steps as a driver sees them, with the library's reports fed by hand
// and the clock given: the server is real (port 67 in a network namespace of this test's own),
// so the test needs root.
#include <gtest/gtest.h>

#include <cstring>

#include "dhcp/RecoveryFlow.h"
#include "tests/support/NetworkNamespaces.h"

namespace {

using ordvane::RecoveryFlow;
using Action = RecoveryFlow::Action;
using Result = RecoveryFlow::Result;

constexpr ordvane::MacAddress kMac = {0x0A, 0x51, 0x4D, 0x00, 0x00, 0x2A};

ordvane::ModuleRecord Answer(std::uint32_t address) {
    ordvane::ModuleRecord answer;
    answer.mac = kMac;
    answer.ipAddress = ordvane::Ipv4Address(address);
    return answer;
}

class RecoveryFlowSteps : public ::testing::Test {
protected:
    void SetUp() override { ORDVANE_ENTER_FRESH_NAMESPACE_OR_SKIP(); }

    RecoveryFlow::Clock::time_point m_start = RecoveryFlow::Clock::now();
    ordvane::CRecoveryDhcpServer m_server;
};

// The window's way: no address up front, the values asked for once the module is found.
TEST_F(RecoveryFlowSteps, AsksForTheValuesConfiguresVerifiesAndStopsServing) {
    using std::chrono::seconds;
    RecoveryFlow flow({kMac, {}, seconds(60)}, m_server);
    ASSERT_TRUE(flow.Start(m_start)) << flow.FailureReason();
    EXPECT_TRUE(m_server.IsEnabled());
    EXPECT_EQ(flow.Poll(m_start), Action::kSendScan);
    EXPECT_EQ(flow.Poll(m_start), Action::kWait);
    flow.OnScanAnswer(Answer(0xC0A80514));  // not yet at its recovery address
    EXPECT_EQ(flow.Poll(m_start + seconds(1)), Action::kWait);
    flow.OnScanAnswer(Answer(0x0AC8012A));  // 10.200.1.42
    EXPECT_EQ(flow.Poll(m_start + seconds(1)), Action::kAskForValues);
    EXPECT_EQ(flow.Poll(m_start + seconds(1)), Action::kWait);
    ordvane::ConfigureOverrides values;
    values.ipAddress = 0xC0A80514;  // 192.168.5.20
    values.dhcpChoice = 0;          // asked for on: recovery switches it off all the same
    ASSERT_TRUE(flow.ProvideStaticValues(values));
    EXPECT_EQ(flow.ConfigureRequest().dhcp, 0);
    // Not before the library trusts the MAC: the scan that found it must have run long enough.
    EXPECT_EQ(flow.Poll(m_start + seconds(1)), Action::kWait);
    EXPECT_EQ(flow.Poll(m_start + seconds(3)), Action::kSendConfigure);
    EXPECT_EQ(flow.ConfigureRequest().ipAddress, 0xC0A80514u);
    flow.OnConfigureAccepted(m_start + seconds(3));
    EXPECT_EQ(flow.Poll(m_start + seconds(3)), Action::kSendScan);
    flow.OnScanAnswer(Answer(0xC0A80514));
    EXPECT_EQ(flow.Poll(m_start + seconds(4)), Action::kFinished);
    EXPECT_EQ(flow.CurrentResult(), Result::kVerified);
    EXPECT_FALSE(m_server.IsEnabled());
}

// Every other end stops the server too, with its own result.
TEST_F(RecoveryFlowSteps, EveryOtherEndStopsServing) {
    using std::chrono::seconds;
    struct Case {
        const char* end;
        void (*cause)(RecoveryFlow& flow, RecoveryFlow::Clock::time_point now);
        Result result;
    };
    const Case cases[] = {
        {"time up", [](RecoveryFlow& flow, auto now) { flow.Poll(now + seconds(61)); },
         Result::kTimedOut},
        {"password refused", [](RecoveryFlow& flow, auto) { flow.OnPasswordRefused(); },
         Result::kRefusedPassword},
        {"two claimants twice",
         [](RecoveryFlow& flow, auto now) {
             flow.OnMacClaimedTwice(now);
             flow.OnScanAnswer(Answer(0x0AC8012A));
             flow.Poll(now + seconds(6));
             flow.OnMacClaimedTwice(now + seconds(6));
         },
         Result::kFailed},
        {"stopped by the driver", [](RecoveryFlow& flow, auto) { flow.Stop(); }, Result::kRunning},
    };
    for (const Case& test : cases) {
        ordvane::ConfigureOverrides values;
        values.ipAddress = 0xC0A80514;
        RecoveryFlow flow({kMac, values, seconds(60)}, m_server);
        ASSERT_TRUE(flow.Start(m_start)) << test.end;
        flow.Poll(m_start);
        flow.OnScanAnswer(Answer(0x0AC8012A));
        ASSERT_EQ(flow.Poll(m_start + seconds(3)), Action::kSendConfigure) << test.end;
        test.cause(flow, m_start + seconds(3));
        EXPECT_EQ(flow.CurrentResult(), test.result) << test.end;
        EXPECT_FALSE(m_server.IsEnabled()) << test.end;
    }
}

TEST_F(RecoveryFlowSteps, RefusedValuesServeNothing) {
    ordvane::ConfigureOverrides values;
    values.ipAddress = 0x0A0000FF;  // ends in 255
    RecoveryFlow flow({kMac, values, std::chrono::seconds(60)}, m_server);
    EXPECT_FALSE(flow.Start(m_start));
    EXPECT_EQ(flow.CurrentResult(), Result::kRefusedValues);
    EXPECT_FALSE(m_server.IsEnabled());
}

}  // namespace
