// The library and the emulator over loopback: what a scan delivers.
#include <gtest/gtest.h>

#include <cstring>

#include "modsvc/ModuleService.h"
#include "sim/FleetGenerator.h"
#include "tests/zeva/EmulatorTest.h"
#include "zeva/ModuleProtocol.h"
#include "zeva/UdpSocket.h"

namespace ordvane::testing {
namespace {

// What a generated module must look like after the trip through emulator, wire and library;
// built here from the module's values, independently of the emulator's own code.
void ExpectCarries(const sim::EmulatedModule& module, const ZEVA_ModuleScanResponseType& record) {
    const std::string mac = FormatMacAddress(module.mac.data());
    EXPECT_EQ(record.serviceVersionMajor, module.serviceMajor) << mac;
    EXPECT_EQ(record.serviceVersionMinor, module.serviceMinor) << mac;
    EXPECT_EQ(record.moduleTypeValid, module.type ? 1 : 0) << mac;
    EXPECT_STREQ(record.moduleType, module.type.value_or("").c_str()) << mac;
    EXPECT_EQ(record.fwVersionValid, module.firmware ? 1 : 0) << mac;
    if (module.firmware) {
        EXPECT_EQ(record.fwMajor, module.firmware->major) << mac;
        EXPECT_EQ(record.fwMinor, module.firmware->minor) << mac;
        EXPECT_EQ(record.fwBuild, module.firmware->build) << mac;
    }
    EXPECT_EQ(record.macIdValid, 1) << mac;
    const auto address = [&](const std::optional<std::uint32_t>& value, std::uint32_t field,
                             std::uint8_t valid) {
        EXPECT_EQ(valid, value ? 1 : 0) << mac;
        EXPECT_EQ(field, value.value_or(0)) << mac;
    };
    address(module.address, record.ipAddress, record.ipAddressValid);
    address(module.subnetMask, record.subnetMask, record.subnetMaskValid);
    address(module.gateway, record.gateway, record.gatewayValid);
    address(module.primaryDns, record.dns1, record.dns1Valid);
    address(module.secondaryDns, record.dns2, record.dns2Valid);
    EXPECT_EQ(record.dhcpValid, module.dhcp ? 1 : 0) << mac;
    EXPECT_EQ(record.dhcp, module.dhcp.value_or(false) ? 1 : 0) << mac;
    EXPECT_EQ(record.passwordSetValid, module.reportsPasswordSet ? 1 : 0) << mac;
    EXPECT_EQ(record.passwordSet, module.reportsPasswordSet && !module.password.empty() ? 1 : 0)
        << mac;
    EXPECT_EQ(record.hostnameValid, module.hostname ? 1 : 0) << mac;
    EXPECT_STREQ(record.hostname, module.hostname.value_or("").c_str()) << mac;
    EXPECT_EQ(record.hashedPasswords, module.hashedPasswords ? 1 : 0) << mac;
    EXPECT_EQ(std::strlen(record.challenge), 34u) << mac;
}

class ScanEndToEnd : public EmulatorTest {};

TEST_F(ScanEndToEnd, OneModuleArrivesWithEveryFieldAndPresenceFlag) {
    const std::string fleet = WriteTemporaryFile(
        "one-module.csv",
        "mac,report_mac,service,type,firmware,ip,mask,gateway,dhcp,hostname,dns1,dns2,"
        "report_password,hashed,password\n"
        "0A-51-4D-12-34-56,1,1.10,\"QM-240, \"\"Fieldbus\"\" Gateway\",2.7.1234,10.20.30.40,"
        "255.255.255.0,10.20.30.1,1,line-one,10.20.30.53,10.20.30.54,1,0,secret\n");
    StartWith({"--fleet", fleet});
    const auto answers = ScanFor(1);
    ASSERT_EQ(answers.size(), 1u);
    const ZEVA_ModuleScanResponseType& record = answers.begin()->second;
    EXPECT_EQ(answers.begin()->first, "0A-51-4D-12-34-56");
    EXPECT_EQ(record.macIdValid, 1);
    EXPECT_EQ(record.serviceVersionMajor, 1);
    EXPECT_EQ(record.serviceVersionMinor, 10);
    EXPECT_STREQ(record.moduleType, "QM-240, \"Fieldbus\" Gateway");
    EXPECT_EQ(record.moduleTypeValid, 1);
    EXPECT_EQ(record.fwMajor, 2);
    EXPECT_EQ(record.fwMinor, 7);
    EXPECT_EQ(record.fwBuild, 1234);
    EXPECT_EQ(record.fwVersionValid, 1);
    EXPECT_EQ(record.ipAddress, 0x0A141E28u);
    EXPECT_EQ(record.ipAddressValid, 1);
    EXPECT_EQ(record.subnetMask, 0xFFFFFF00u);
    EXPECT_EQ(record.subnetMaskValid, 1);
    EXPECT_EQ(record.gateway, 0x0A141E01u);
    EXPECT_EQ(record.gatewayValid, 1);
    EXPECT_EQ(record.dhcp, 1);
    EXPECT_EQ(record.dhcpValid, 1);
    EXPECT_EQ(record.passwordSet, 1);
    EXPECT_EQ(record.passwordSetValid, 1);
    EXPECT_STREQ(record.hostname, "line-one");
    EXPECT_EQ(record.hostnameValid, 1);
    EXPECT_EQ(record.dns1, 0x0A141E35u);
    EXPECT_EQ(record.dns1Valid, 1);
    EXPECT_EQ(record.dns2, 0x0A141E36u);
    EXPECT_EQ(record.dns2Valid, 1);
    EXPECT_EQ(record.hashedPasswords, 0);
    EXPECT_EQ(std::strlen(record.challenge), 34u);
}

TEST_F(ScanEndToEnd, AbsentFieldsArriveWithPresenceZeroAndNoValue) {
    const std::string fleet = WriteTemporaryFile(
        "absent.csv",
        "mac,report_mac,type,firmware,ip,mask,gateway,dhcp,hostname,dns1,dns2,report_password\n"
        "0A-51-4D-00-00-09,0,,,,,,,,,,0\n");
    StartWith({"--fleet", fleet});
    const auto answers = ScanFor(1);
    ASSERT_EQ(answers.size(), 1u);
    const ZEVA_ModuleScanResponseType& record = answers.begin()->second;
    const std::uint8_t zeroMac[6] = {};
    EXPECT_EQ(record.macIdValid, 0);
    EXPECT_EQ(std::memcmp(record.macId, zeroMac, 6), 0);
    EXPECT_EQ(record.moduleTypeValid, 0);
    EXPECT_STREQ(record.moduleType, "");
    EXPECT_EQ(record.fwVersionValid, 0);
    EXPECT_EQ(record.ipAddressValid, 0);
    EXPECT_EQ(record.ipAddress, 0u);
    EXPECT_EQ(record.subnetMaskValid, 0);
    EXPECT_EQ(record.gatewayValid, 0);
    EXPECT_EQ(record.dhcpValid, 0);
    EXPECT_EQ(record.passwordSetValid, 0);
    EXPECT_EQ(record.hostnameValid, 0);
    EXPECT_STREQ(record.hostname, "");
    EXPECT_EQ(record.dns1Valid, 0);
    EXPECT_EQ(record.dns2Valid, 0);
}

TEST_F(ScanEndToEnd, ThousandModulesEachArriveOnceWithTheirValues) {
    StartWith({"--count", "1000", "--seed", "9", "--jitter-ms", "300"});
    const auto answers = ScanFor(1000, std::chrono::seconds(20));
    ASSERT_EQ(answers.size(), 1000u);
    for (const sim::EmulatedModule& module : sim::GenerateFleet(1000, 9)) {
        const auto answer = answers.find(FormatMacAddress(module.mac.data()));
        ASSERT_NE(answer, answers.end()) << FormatMacAddress(module.mac.data());
        ExpectCarries(module, answer->second);
    }
    // The repeats of the request and of the answers never show as extra responses.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ZEVA_ModuleScanResponseType extra{};
    EXPECT_EQ(ZEVA_GetResponse(&extra), 0);
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_RESPONSE), 1000);
}

TEST_F(ScanEndToEnd, EmulatorDropsGarbageAndStillAnswers) {
    StartWith({"--count", "3"});
    zeva::UdpSocket socket;
    ASSERT_TRUE(socket.Open(0x7F000001u, 0, 65536));
    const zeva::Endpoint emulator{0x7F000001u, m_sim->Port()};
    std::array<std::uint8_t, zeva::kMaxDatagramSize> scan{};
    const std::size_t scanSize = zeva::Encode(zeva::ScanRequest{77}, scan);
    // Every cut of a real request, a foreign datagram, a wrong version and an oversized one.
    for (std::size_t size = 1; size < scanSize; ++size) {
        socket.SendTo(std::span(scan.data(), size), emulator);
    }
    const std::uint8_t foreign[] = {'G', 'E', 'T', ' ', '/', ' ', 'H', 'T', 'T', 'P'};
    socket.SendTo(foreign, emulator);
    std::array<std::uint8_t, 2000> oversized{};
    std::copy(scan.begin(), scan.begin() + static_cast<long>(scanSize), oversized.begin());
    socket.SendTo(oversized, emulator);
    scan[4] = 9;  // version
    socket.SendTo(std::span(scan.data(), scanSize), emulator);
    EXPECT_EQ(ScanFor(3).size(), 3u);
}

}  // namespace
}  // namespace ordvane::testing
