// Modules on real links, whatever this computer's addresses: network namespaces made for each
// test, joined by veth pairs, with addresses set as a DHCP client sets them (with "brd +").
// The library runs in this process, moved into the namespace that plays this computer; each
// module (or fleet) is an emulator in a namespace of its own, whose address is the module's.
// Needs root and iproute2; skipped otherwise.
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <thread>
#include <utility>

#include "sim/PasswordCheck.h"
#include "tests/support/CommandRun.h"
#include "tests/support/TestNetwork.h"
#include "tests/zeva/EmulatorTest.h"
#include "zeva/ModuleProtocol.h"
#include "zeva/UdpSocket.h"

namespace ordvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

class LinkReach : public EmulatorTest {
protected:
    void SetUp() override {
        const std::string reason = TestNetwork::SkipReason();
        if (!reason.empty()) {
            GTEST_SKIP() << reason;
        }
        m_host = m_network.AddNamespace("host");
        ASSERT_FALSE(m_host.empty());
    }

    // A namespace for a module, linked to this computer's namespace; the module's end of the
    // link gets moduleCidr ("" for none). Returns our end of the link.
    std::string AddModuleLink(const std::string& moduleCidr, std::string& moduleNamespace) {
        moduleNamespace = m_network.AddNamespace("mod");
        const auto [ours, theirs] = m_network.AddLink(m_host, moduleNamespace);
        EXPECT_FALSE(ours.empty());
        if (!moduleCidr.empty()) {
            EXPECT_TRUE(m_network.AddAddress(moduleNamespace, theirs, moduleCidr));
        }
        m_moduleLinks[moduleNamespace] = theirs;
        return ours;
    }

    // An emulator in the namespace playing the fleet (CSV text).
    std::unique_ptr<SimProcess> StartEmulator(const std::string& inNamespace,
                                              const std::string& fleet,
                                              std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments{
            "--fleet",   WriteTemporaryFile("fleet-" + inNamespace + ".csv", fleet),
            "--address", "0.0.0.0",
            "--port",    "47470"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        auto sim = std::make_unique<SimProcess>(arguments, TestNetwork::Launcher(inNamespace));
        EXPECT_TRUE(sim->WaitReady()) << sim->Describe();
        return sim;
    }

    // The library of this process, in this computer's namespace, scanning `interfaces`
    // ("" for every suitable one) and no extra target.
    void StartLibraryOn(const std::string& interfaces) {
        ASSERT_TRUE(TestNetwork::EnterNamespace(m_host));
        if (interfaces.empty()) {
            unsetenv("ZEVA_INTERFACES");
        } else {
            setenv("ZEVA_INTERFACES", interfaces.c_str(), 1);
        }
        unsetenv("ZEVA_TARGETS");
        ASSERT_TRUE(LibraryEvents::StartLibrary());
    }

    // ordvane-cli run in this computer's namespace.
    CommandRun RunCli(const std::string& arguments, const std::string& interfaces) {
        return RunProgram("ip", "netns exec " + m_host + " '" + ORDVANE_CLI_PATH + "' " + arguments,
                          "ZEVA_TARGETS= ZEVA_INTERFACES=" + interfaces);
    }

    // A bridge in this computer's namespace with two hosts behind it: the module (moduleCidr)
    // and another host (otherCidr) in namespaces of their own. Our address goes on the bridge.
    std::string AddBridgedHosts(const std::string& moduleCidr, const std::string& otherCidr,
                                std::string& moduleNamespace, std::string& otherNamespace) {
        moduleNamespace = m_network.AddNamespace("mod");
        otherNamespace = m_network.AddNamespace("oth");
        const auto [toModule, moduleEnd] = m_network.AddLink(m_host, moduleNamespace);
        const auto [toOther, otherEnd] = m_network.AddLink(m_host, otherNamespace);
        EXPECT_TRUE(m_network.AddAddress(moduleNamespace, moduleEnd, moduleCidr));
        EXPECT_TRUE(m_network.AddAddress(otherNamespace, otherEnd, otherCidr));
        const std::string bridge = m_network.AddBridge(m_host, {toModule, toOther});
        EXPECT_FALSE(bridge.empty());
        EXPECT_TRUE(m_network.AddAddress(m_host, bridge, "10.99.0.1/24"));
        return bridge;
    }

    TestNetwork m_network;
    std::string m_host;
    std::map<std::string, std::string> m_moduleLinks;
};

ZEVA_ConfigureRequestType ConfigureTo(const ZEVA_ModuleScanResponseType& module,
                                      std::uint32_t address, const char* password) {
    ZEVA_ConfigureRequestType request{};
    std::memcpy(request.macId, module.macId, 6);
    std::strcpy(request.password, password);
    request.ipAddress = address;
    request.subnetMask = Ip(255, 255, 255, 0);
    request.gateway = (address & 0xFFFFFF00u) | 1;
    std::strcpy(request.hostname, "moved");
    return request;
}

// A module on another subnet of the same link: its stack drops our subnet's broadcast, so only
// the limited broadcast out of our link finds it. Once configured into our subnet (and its
// stack given that address, as the module's own would be) it is found there.
TEST_F(LinkReach, ModuleOnForeignSubnetIsFoundConfiguredIntoOursAndFoundAgain) {
    std::string moduleNamespace;
    const std::string link = AddModuleLink("172.31.5.5/24", moduleNamespace);
    ASSERT_TRUE(m_network.AddAddress(m_host, link, "10.99.0.1/24"));
    m_sim = StartEmulator(moduleNamespace,
                          "mac,ip,mask,gateway,hostname,password\n"
                          "0A-51-4D-00-0F-01,172.31.5.5,255.255.255.0,172.31.5.1,far,secret\n");

    const CommandRun cli = RunCli("scan --seconds 2", link);
    EXPECT_NE(cli.output.find("0A-51-4D-00-0F-01 172.31.5.5"), std::string::npos) << cli.output;
    EXPECT_NE(cli.errors.find("scanning " + link), std::string::npos) << cli.errors;

    StartLibraryOn(link);
    auto answers = ScanFor(1);
    ASSERT_EQ(answers.size(), 1u) << m_sim->Describe();
    EXPECT_EQ(answers.begin()->second.ipAddress, Ip(172, 31, 5, 5));

    auto request = ConfigureTo(answers.begin()->second, Ip(10, 99, 0, 5), "secret");
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 1)) << m_sim->Describe();
    EXPECT_TRUE(m_sim->WaitForLines("configure mac=0A-51-4D-00-0F-01 ip=10.99.0.5 ", 1));

    const std::string moduleLink = m_moduleLinks[moduleNamespace];
    ASSERT_TRUE(m_network.Ip(moduleNamespace, "addr flush dev " + moduleLink));
    ASSERT_TRUE(m_network.AddAddress(moduleNamespace, moduleLink, "10.99.0.5/24"));
    answers = ScanFor(1);
    ASSERT_EQ(answers.size(), 1u) << m_sim->Describe();
    EXPECT_EQ(answers.begin()->second.ipAddress, Ip(10, 99, 0, 5));
    ZEVA_SendWink(&request);
    EXPECT_TRUE(m_sim->WaitForLines("wink mac=0A-51-4D-00-0F-01", 1)) << m_sim->Describe();
}

// A direct cable to a spare port: no IPv4 address on our side, and modules with or without an
// address of their own on the other.
TEST_F(LinkReach, LinkWithoutOurAddressFindsConfiguresAndWinksItsModules) {
    std::string moduleNamespace;
    const std::string link = AddModuleLink("", moduleNamespace);
    m_sim = StartEmulator(moduleNamespace,
                          "mac,ip,mask,dhcp,password\n"
                          "0A-51-4D-00-0E-01,,,1,\n"
                          "0A-51-4D-00-0E-02,192.168.7.20,255.255.255.0,0,pw\n");

    const CommandRun cli = RunCli("scan --seconds 2", link);
    EXPECT_NE(cli.output.find("0A-51-4D-00-0E-01 N/A"), std::string::npos) << cli.output;
    EXPECT_NE(cli.output.find("0A-51-4D-00-0E-02 192.168.7.20"), std::string::npos);
    EXPECT_NE(cli.errors.find("scanning " + link), std::string::npos) << cli.errors;

    StartLibraryOn(link);
    const auto answers = ScanFor(2);
    ASSERT_EQ(answers.size(), 2u) << m_sim->Describe();
    auto request = ConfigureTo(answers.at("0A-51-4D-00-0E-01"), Ip(192, 168, 7, 21), "");
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 1)) << m_sim->Describe();
    EXPECT_TRUE(m_sim->WaitForLines("configure mac=0A-51-4D-00-0E-01 ip=192.168.7.21 ", 1));
    auto wink = ConfigureTo(answers.at("0A-51-4D-00-0E-02"), 0, "");
    ZEVA_SendWink(&wink);
    EXPECT_TRUE(m_sim->WaitForLines("wink mac=0A-51-4D-00-0E-02", 1)) << m_sim->Describe();
}

// Two cards on different subnets and one without an address: one scan finds the modules on
// all three, and each is reached through its own link only.
TEST_F(LinkReach, OneScanFindsEveryLinkAndEachRowGoesThroughItsOwn) {
    std::string near, far, bare;
    const std::string nearLink = AddModuleLink("10.10.1.5/24", near);
    const std::string farLink = AddModuleLink("172.16.9.9/24", far);
    const std::string bareLink = AddModuleLink("", bare);
    ASSERT_TRUE(m_network.AddAddress(m_host, nearLink, "10.10.1.1/24"));
    ASSERT_TRUE(m_network.AddAddress(m_host, farLink, "10.20.2.1/24"));
    std::map<std::string, std::unique_ptr<SimProcess>> sims;
    sims["0A-51-4D-00-0D-01"] = StartEmulator(near,
                                              "mac,ip,mask\n"
                                              "0A-51-4D-00-0D-01,10.10.1.5,255.255.255.0\n");
    sims["0A-51-4D-00-0D-02"] = StartEmulator(far,
                                              "mac,ip,mask\n"
                                              "0A-51-4D-00-0D-02,172.16.9.9,255.255.255.0\n");
    sims["0A-51-4D-00-0D-03"] = StartEmulator(bare,
                                              "mac,dhcp\n"
                                              "0A-51-4D-00-0D-03,1\n");

    const CommandRun cli = RunCli("scan --seconds 2", "");
    for (const std::string& link : {nearLink, farLink, bareLink}) {
        EXPECT_NE(cli.errors.find("scanning " + link), std::string::npos) << cli.errors;
    }
    EXPECT_NE(cli.errors.find("3 modules"), std::string::npos) << cli.errors;

    StartLibraryOn("");
    const auto answers = ScanFor(3);
    ASSERT_EQ(answers.size(), 3u);
    for (const auto& [mac, module] : answers) {
        auto wink = ConfigureTo(module, 0, "");
        ZEVA_SendWink(&wink);
        EXPECT_TRUE(sims.at(mac)->WaitForLines("wink mac=" + mac, 1)) << sims.at(mac)->Describe();
    }
    // The library acts on the first answer and retransmits nothing after it, so a wink that
    // went out of the wrong link as well would have shown on another emulator by now.
    std::this_thread::sleep_for(300ms);
    for (const auto& [mac, sim] : sims) {
        EXPECT_EQ(sim->LinesStartingWith("wink ").size(), 1u) << sim->Describe();
    }
}

// A card that comes up, or loses its address, while the program runs is scanned as it is at
// the next scan.
TEST_F(LinkReach, EachScanTakesTheCardsAsTheyAreNow) {
    std::string moduleNamespace;
    const std::string link = AddModuleLink("172.31.5.5/24", moduleNamespace);
    ASSERT_TRUE(m_network.AddAddress(m_host, link, "10.99.0.1/24"));
    ASSERT_TRUE(m_network.Ip(m_host, "link set " + link + " down"));
    m_sim = StartEmulator(moduleNamespace,
                          "mac,ip,mask\n"
                          "0A-51-4D-00-0A-01,172.31.5.5,255.255.255.0\n");
    StartLibraryOn("");
    EXPECT_TRUE(ScanFor(1, 1500ms).empty());
    ASSERT_TRUE(m_network.Ip(m_host, "link set " + link + " up"));
    EXPECT_EQ(ScanFor(1).size(), 1u) << m_sim->Describe();
    ASSERT_TRUE(m_network.Ip(m_host, "addr flush dev " + link));
    EXPECT_EQ(ScanFor(1).size(), 1u) << m_sim->Describe();
}

// Collects the responses queued so far, by MAC, every answer kept.
std::multimap<std::string, ZEVA_ModuleScanResponseType> TakeResponses() {
    std::multimap<std::string, ZEVA_ModuleScanResponseType> responses;
    ZEVA_ModuleScanResponseType response{};
    while (ZEVA_GetResponse(&response) != 0) {
        responses.emplace(FormatMacAddress(response.macId), response);
    }
    return responses;
}

// A host on the link that answers in a module's name, claiming plain passwords, and counts the
// configures and winks that reach it. It honours no acknowledgement. A claimant answers every
// scan with its id after a delay; an echo answers with the previous scan's id, and answers
// every configure it hears with a wrong request id and then, from its own address, with the
// right one.
class Impostor {
public:
    enum class Kind { kClaimant, kEcho };

    Impostor(const std::string& inNamespace, MacAddress mac, Kind kind,
             std::chrono::milliseconds delay = {}, bool byBroadcast = false)
        : m_mac(mac),
          m_kind(kind),
          m_delay(delay),
          m_byBroadcast(byBroadcast),
          m_thread([this, inNamespace] { Run(inNamespace); }) {}
    ~Impostor() {
        m_stop = true;
        m_thread.join();
    }
    int CommandsHeard() const { return m_commandsHeard; }

private:
    void Run(const std::string& inNamespace) {
        zeva::UdpSocket socket;
        if (!TestNetwork::EnterNamespace(inNamespace) ||
            !socket.Open(0, zeva::kModulePort, 1 << 20)) {
            ADD_FAILURE() << "the impostor could not listen in " << inNamespace;
            return;
        }
        while (!m_stop) {
            pollfd watched{socket.Descriptor(), POLLIN, 0};
            poll(&watched, 1, 20);
            std::array<std::uint8_t, zeva::kMaxDatagramSize + 1> buffer{};
            zeva::ReceivedDatagram received;
            while (socket.Receive(buffer, received)) {
                const auto decoded =
                    zeva::DecodeModuleBound(std::span(buffer.data(), received.size)).message;
                if (decoded) {
                    m_interface = received.interfaceIndex;
                    Handle(socket, *decoded, received.source);
                }
            }
            if (m_due && std::chrono::steady_clock::now() >= m_due->first) {
                SendScanAnswer(socket, m_due->second, m_library);
                m_due.reset();
            }
        }
    }

    void Handle(const zeva::UdpSocket& socket, const zeva::ModuleBoundMessage& message,
                const zeva::Endpoint& library) {
        if (const auto* scan = std::get_if<zeva::ScanRequest>(&message)) {
            if (scan->scanId == m_currentScanId) {
                return;  // a repeat
            }
            m_previousScanId = std::exchange(m_currentScanId, scan->scanId);
            m_library = library;
            if (m_kind == Kind::kClaimant) {
                m_due = {std::chrono::steady_clock::now() + m_delay, scan->scanId};
            } else {
                SendScanAnswer(socket, m_previousScanId.value_or(scan->scanId + 1), library);
            }
            return;
        }
        const auto* configure = std::get_if<zeva::ConfigureRequest>(&message);
        const auto* wink = std::get_if<zeva::WinkRequest>(&message);
        if (configure == nullptr && wink == nullptr) {
            return;
        }
        ++m_commandsHeard;
        if (m_kind == Kind::kEcho && configure != nullptr) {
            zeva::CommandAnswer answer;
            answer.hardwareAddress = m_mac;
            answer.command = zeva::MessageType::kConfigureRequest;
            answer.result = zeva::CommandResult::kWrongPassword;
            answer.requestId = configure->requestId + 1;
            Send(socket, answer, library);
            answer.requestId = configure->requestId;
            Send(socket, answer, library);
        }
    }

    void SendScanAnswer(const zeva::UdpSocket& socket, std::uint32_t scanId,
                        const zeva::Endpoint& library) {
        zeva::ScanAnswer answer;
        answer.scanId = scanId;
        answer.hardwareAddress = m_mac;
        std::memcpy(answer.record.macId, m_mac.data(), 6);
        answer.record.macIdValid = 1;
        answer.record.ipAddress = Ip(10, 99, 0, 66);
        answer.record.ipAddressValid = 1;
        answer.record.passwordSet = 1;
        answer.record.passwordSetValid = 1;
        answer.record.hashedPasswords = 0;
        if (m_byBroadcast) {
            std::array<std::uint8_t, zeva::kMaxDatagramSize> buffer{};
            socket.SendTo(std::span(buffer.data(), zeva::Encode(answer, buffer)),
                          {zeva::kLimitedBroadcast, library.port}, m_interface);
            return;
        }
        Send(socket, answer, library);
    }

    template <typename Message>
    static void Send(const zeva::UdpSocket& socket, const Message& message,
                     const zeva::Endpoint& library) {
        std::array<std::uint8_t, zeva::kMaxDatagramSize> buffer{};
        socket.SendTo(std::span(buffer.data(), zeva::Encode(message, buffer)), library);
    }

    const MacAddress m_mac;
    const Kind m_kind;
    const std::chrono::milliseconds m_delay;
    const bool m_byBroadcast;
    int m_interface = 0;
    std::optional<std::uint32_t> m_currentScanId;
    std::optional<std::uint32_t> m_previousScanId;
    zeva::Endpoint m_library;
    std::optional<std::pair<std::chrono::steady_clock::time_point, std::uint32_t>> m_due;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_commandsHeard{0};
    std::thread m_thread;
};

// A host that answers in a real module's name, claiming plain passwords, before the module
// answers or after it. Neither a password nor a challenge response may reach it; the CLI and
// the library refuse the MAC until a scan hears the real module alone.
class ClaimedMac : public LinkReach, public ::testing::WithParamInterface<bool> {};

INSTANTIATE_TEST_SUITE_P(Impostor, ClaimedMac, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& parameter) {
                             return parameter.param ? "AnswersFirst" : "AnswersSecond";
                         });

TEST_P(ClaimedMac, NothingReachesTheImpostorAndTheModuleIsReachedOnceItIsGone) {
    const bool impostorFirst = GetParam();
    std::string moduleNamespace, impostorNamespace;
    const std::string bridge =
        AddBridgedHosts("172.31.5.5/24", "10.99.0.66/24", moduleNamespace, impostorNamespace);
    const std::string stored = sim::SaltedDigest("ab", "secret");
    m_sim = StartEmulator(moduleNamespace,
                          "mac,ip,mask,hashed,password_hash\n"
                          "0A-51-4D-00-0C-01,172.31.5.5,255.255.255.0,1," +
                              stored + "\n",
                          {"--delay-ms", impostorFirst ? "400" : "0"});
    auto impostor = std::make_unique<Impostor>(
        impostorNamespace, MacAddress{0x0A, 0x51, 0x4D, 0x00, 0x0C, 0x01},
        Impostor::Kind::kClaimant, impostorFirst ? 0ms : 400ms);

    CommandRun cli = RunCli("configure 0A-51-4D-00-0C-01 --ip 10.99.0.5", bridge);
    EXPECT_EQ(cli.status, 1);
    EXPECT_NE(cli.errors.find("two devices claim 0A-51-4D-00-0C-01"), std::string::npos)
        << cli.errors;
    EXPECT_NE(cli.errors.find("172.31.5.5"), std::string::npos) << cli.errors;
    EXPECT_NE(cli.errors.find("10.99.0.66"), std::string::npos) << cli.errors;
    cli = RunCli("wink 0A-51-4D-00-0C-01", bridge);
    EXPECT_EQ(cli.status, 1);
    EXPECT_NE(cli.errors.find("two devices claim 0A-51-4D-00-0C-01"), std::string::npos);
    cli = RunCli("scan --seconds 2 --format csv", bridge);
    EXPECT_NE(cli.output.find("mac-claimed-twice"), std::string::npos) << cli.output;

    StartLibraryOn(bridge);
    ZEVA_SendModuleScan();
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESPONSE, 2));
    const auto claims = TakeResponses();
    ASSERT_EQ(claims.size(), 2u);
    ZEVA_ModuleScanResponseType real = claims.begin()->second;
    auto request = ConfigureTo(real, Ip(10, 99, 0, 5), "");
    ZEVA_SendConfigure(&request);
    EXPECT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_MAC_CONFLICT, 1));
    ZEVA_SendWink(&request);
    EXPECT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_MAC_CONFLICT, 2));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(impostor->CommandsHeard(), 0);
    for (const char* line : {"configure ", "reject ", "wink "}) {
        EXPECT_TRUE(m_sim->LinesStartingWith(line).empty()) << m_sim->Describe();
    }

    impostor.reset();
    const auto alone = ScanFor(1);
    ASSERT_EQ(alone.size(), 1u);
    real = alone.begin()->second;
    EXPECT_EQ(real.ipAddress, Ip(172, 31, 5, 5));
    // A MAC claimed twice is trusted again once the scan has run long enough for a second
    // claimant to have answered.
    std::this_thread::sleep_for(2100ms);
    request = ConfigureTo(real, Ip(10, 99, 0, 5), "");
    std::strcpy(request.password, sim::ChallengeResponse(stored, real.challenge).c_str());
    ZEVA_SendConfigure(&request);
    EXPECT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 1)) << m_sim->Describe();
    EXPECT_TRUE(m_sim->WaitForLines("configure mac=0A-51-4D-00-0C-01 ip=10.99.0.5 ", 1));
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_MAC_CONFLICT), 2);
}

TEST_F(LinkReach, AnswersWithAnOldScanIdOrAWrongRequestIdOrSenderChangeNothing) {
    std::string moduleNamespace, impostorNamespace;
    const std::string bridge =
        AddBridgedHosts("172.31.5.5/24", "10.99.0.66/24", moduleNamespace, impostorNamespace);
    m_sim = StartEmulator(moduleNamespace,
                          "mac,ip,mask,password\n"
                          "0A-51-4D-00-0B-01,172.31.5.5,255.255.255.0,secret\n");
    Impostor impostor(impostorNamespace, {0x0A, 0x51, 0x4D, 0x00, 0x0B, 0x01},
                      Impostor::Kind::kEcho);
    StartLibraryOn(bridge);
    for (int scan = 0; scan < 2; ++scan) {
        const auto answers = ScanFor(1);
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(answers.begin()->second.ipAddress, Ip(172, 31, 5, 5));
        std::this_thread::sleep_for(500ms);
        EXPECT_TRUE(TakeResponses().empty()) << "an answer to another scan was queued";
    }
    auto request = ConfigureTo(ScanFor(1).begin()->second, Ip(10, 99, 0, 5), "secret");
    ZEVA_SendConfigure(&request);
    EXPECT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 1)) << m_sim->Describe();
    // The module's answer may beat the impostor's thread to the broadcast configure.
    const auto heardBy = std::chrono::steady_clock::now() + 2s;
    while (impostor.CommandsHeard() == 0 && std::chrono::steady_clock::now() < heardBy) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_GE(impostor.CommandsHeard(), 1) << "the configure went out by broadcast";
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_INVALID_PASSWORD), 0);
    EXPECT_EQ(LibraryEvents::Count(ZEVA_EVENT_MAC_CONFLICT), 0);
}

// A host with the module's own address and port answers first, by broadcast or by unicast,
// claiming plain passwords. The module must still answer (an acknowledgement for a scan it has
// not answered is not its own), and its answer, though from the same sender, differs: the MAC
// is claimed twice and nothing reaches the impostor.
class CopiedSender : public LinkReach, public ::testing::WithParamInterface<bool> {};

INSTANTIATE_TEST_SUITE_P(Impostor, CopiedSender, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& parameter) {
                             return parameter.param ? "ByBroadcast" : "ByUnicast";
                         });

TEST_P(CopiedSender, TheModulesOwnAnswerMakesTheMacClaimedTwice) {
    std::string moduleNamespace, impostorNamespace;
    const std::string bridge =
        AddBridgedHosts("10.99.0.5/24", "10.99.0.5/24", moduleNamespace, impostorNamespace);
    m_sim = StartEmulator(moduleNamespace,
                          "mac,ip,mask,hashed,password_hash\n"
                          "0A-51-4D-00-09-01,10.99.0.5,255.255.255.0,1," +
                              sim::SaltedDigest("ab", "quillmor") + "\n",
                          {"--delay-ms", "400"});
    Impostor impostor(impostorNamespace, {0x0A, 0x51, 0x4D, 0x00, 0x09, 0x01},
                      Impostor::Kind::kClaimant, 0ms, GetParam());

    const CommandRun cli = RunCli("configure 0A-51-4D-00-09-01 --ip 10.99.0.7", bridge);
    EXPECT_EQ(cli.status, 1) << cli.output << cli.errors;
    EXPECT_NE(cli.errors.find("two devices claim 0A-51-4D-00-09-01"), std::string::npos)
        << cli.errors;

    StartLibraryOn(bridge);
    ZEVA_SendModuleScan();
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESPONSE, 2)) << m_sim->Describe();
    auto request = ConfigureTo(TakeResponses().begin()->second, Ip(10, 99, 0, 7), "quillmor");
    ZEVA_SendConfigure(&request);
    EXPECT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_MAC_CONFLICT, 1));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(impostor.CommandsHeard(), 0);
    EXPECT_TRUE(m_sim->LinesStartingWith("configure ").empty()) << m_sim->Describe();
}

}  // namespace
}  // namespace ordvane::testing
