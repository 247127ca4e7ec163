// A module whose address is outside the scanning host's subnet, on a real link: two network
// namespaces made for this test joined by a veth pair. The emulator cannot unicast to the
// library, so it answers by broadcast; the library then reaches it by broadcast too.
// Needs root and iproute2; skipped otherwise.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "tests/zeva/EmulatorTest.h"

namespace ordvane::testing {
namespace {

bool RunCommand(const std::string& command) {
    return std::system((command + " 2>&1").c_str()) == 0;
}

// Two namespaces with a veth pair between them, named after this process and always removed.
class LinkPair {
public:
    explicit LinkPair(bool libraryHasBroadcastAddress)
        : m_libraryBroadcast(libraryHasBroadcastAddress ? " brd + " : " "),
          m_libraryNamespace("ovz-lib-" + std::to_string(getpid())),
          m_moduleNamespace("ovz-mod-" + std::to_string(getpid())),
          m_libraryLink("ovzl" + std::to_string(getpid())),
          m_moduleLink("ovzm" + std::to_string(getpid())) {}

    bool Create() {
        const std::string inLibrary = "ip -n " + m_libraryNamespace + " ";
        const std::string inModule = "ip -n " + m_moduleNamespace + " ";
        m_created = RunCommand("ip netns add " + m_libraryNamespace);
        return m_created && RunCommand("ip netns add " + m_moduleNamespace) &&
               RunCommand("ip link add " + m_libraryLink + " netns " + m_libraryNamespace +
                          " type veth peer name " + m_moduleLink + " netns " + m_moduleNamespace) &&
               RunCommand(inLibrary + "addr add 10.77.1.1/24" + m_libraryBroadcast + "dev " +
                          m_libraryLink) &&
               RunCommand(inModule + "addr add 10.77.1.2/24 brd + dev " + m_moduleLink) &&
               RunCommand(inLibrary + "link set " + m_libraryLink + " up") &&
               RunCommand(inModule + "link set " + m_moduleLink + " up") &&
               RunCommand(inLibrary + "link set lo up") && RunCommand(inModule + "link set lo up");
    }

    ~LinkPair() {
        if (m_created) {
            RunCommand("ip netns del " + m_libraryNamespace);
            RunCommand("ip netns del " + m_moduleNamespace);
        }
    }

    // Moves the calling thread (and the threads it starts later) into the library's namespace.
    bool EnterLibraryNamespace() const {
        const int descriptor =
            open(("/var/run/netns/" + m_libraryNamespace).c_str(), O_RDONLY | O_CLOEXEC);
        const bool entered = descriptor >= 0 && setns(descriptor, CLONE_NEWNET) == 0;
        if (descriptor >= 0) {
            close(descriptor);
        }
        return entered;
    }

    const std::string& ModuleNamespace() const { return m_moduleNamespace; }
    const std::string& LibraryLink() const { return m_libraryLink; }

private:
    std::string m_libraryBroadcast;
    std::string m_libraryNamespace;
    std::string m_moduleNamespace;
    std::string m_libraryLink;
    std::string m_moduleLink;
    bool m_created = false;
};

// The parameter: whether the library's address was added with a broadcast address. One added
// without ("ip addr add 10.77.1.1/24") has none, and the scan must still reach the link.
class BroadcastPath : public EmulatorTest, public ::testing::WithParamInterface<bool> {};

INSTANTIATE_TEST_SUITE_P(LibraryAddress, BroadcastPath, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& parameter) {
                             return parameter.param ? "WithBroadcastAddress"
                                                    : "WithoutBroadcastAddress";
                         });

TEST_P(BroadcastPath, ModuleOutsideOurSubnetIsFoundConfiguredAndWinked) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to create network namespaces";
    }
    if (!RunCommand("ip -V >/dev/null")) {
        GTEST_SKIP() << "needs ip (iproute2)";
    }
    LinkPair link(GetParam());
    ASSERT_TRUE(link.Create());
    const std::string fleet = WriteTemporaryFile(
        "far-fleet.csv",
        "mac,ip,mask,gateway,hostname,password\n"
        "0A-51-4D-00-0F-01,10.200.1.5,255.255.255.0,10.200.1.1,far-away,secret\n");
    m_sim = std::make_unique<SimProcess>(
        std::vector<std::string>{"--fleet", fleet, "--address", "0.0.0.0", "--port", "47470"},
        std::vector<std::string>{"ip", "netns", "exec", link.ModuleNamespace()});
    ASSERT_TRUE(m_sim->WaitReady()) << m_sim->Describe();

    ASSERT_TRUE(link.EnterLibraryNamespace());
    // Broadcast on the test's own veth only; no extra targets.
    setenv("ZEVA_INTERFACES", link.LibraryLink().c_str(), 1);
    unsetenv("ZEVA_TARGETS");
    ASSERT_TRUE(LibraryEvents::StartLibrary());
    const auto answers = ScanFor(1);
    ASSERT_EQ(answers.size(), 1u) << m_sim->Describe();
    const ZEVA_ModuleScanResponseType& module = answers.begin()->second;
    EXPECT_EQ(module.ipAddress, 0x0AC80105u);
    EXPECT_STREQ(module.hostname, "far-away");

    ZEVA_ConfigureRequestType request{};
    std::memcpy(request.macId, module.macId, 6);
    std::strcpy(request.password, "secret");
    request.ipAddress = 0x0A4D0105u;  // 10.77.1.5: into our subnet
    request.subnetMask = 0xFFFFFF00u;
    request.gateway = 0x0A4D0101u;
    std::strcpy(request.hostname, "near");
    ZEVA_SendConfigure(&request);
    ASSERT_TRUE(LibraryEvents::WaitFor(ZEVA_EVENT_RESCAN, 1)) << m_sim->Describe();
    // The event may overtake the emulator's line on its way through the pipe.
    EXPECT_TRUE(m_sim->WaitForLines("configure mac=0A-51-4D-00-0F-01 ip=10.77.1.5 ", 1));

    ZEVA_SendWink(&request);
    EXPECT_TRUE(m_sim->WaitForLines("wink mac=0A-51-4D-00-0F-01", 1)) << m_sim->Describe();
    m_sim.reset();
}

}  // namespace
}  // namespace ordvane::testing
