#pragma once
// Network namespaces, veth pairs and bridges made for one test, named after the test's process
// so that two runs never share one, and deleted whatever the outcome (a namespace takes its
// links along). Addresses are set as a DHCP client or NetworkManager sets them, with their
// broadcast address: AddAddress runs "ip addr add A/N brd + dev X".
//
//     ordvane::testing::TestNetwork network;
//     ASSERT_EQ(network.SkipReason(), "");            // needs root and iproute2
//     const std::string host = network.AddNamespace("host");
//     const std::string module = network.AddNamespace("mod");
//     const auto [hostLink, moduleLink] = network.AddLink(host, module);
//     ASSERT_TRUE(network.AddAddress(host, hostLink, "10.99.0.1/24"));
//     ASSERT_TRUE(network.EnterNamespace(host));      // the calling thread only
//
// Nothing here touches the namespace the test started in.

#include <string>
#include <utility>
#include <vector>

namespace ordvane::testing {

class TestNetwork {
public:
    TestNetwork() = default;
    ~TestNetwork();
    TestNetwork(const TestNetwork&) = delete;
    TestNetwork& operator=(const TestNetwork&) = delete;

    // Why network tests cannot run here ("" when they can): they need root and ip.
    static std::string SkipReason();

    // A new namespace with loopback up; its name, or "" on failure.
    std::string AddNamespace(const std::string& role);
    // A veth pair, one end in each namespace, both up; the two ends' names ("" on failure).
    std::pair<std::string, std::string> AddLink(const std::string& firstNamespace,
                                                const std::string& secondNamespace);
    // A bridge in the namespace, up, with the given links as its ports; its name or "".
    std::string AddBridge(const std::string& inNamespace, const std::vector<std::string>& ports);
    // "ip addr add <cidr> brd + dev <link>" in the namespace.
    bool AddAddress(const std::string& inNamespace, const std::string& link,
                    const std::string& cidr);
    // "ip -n <namespace> <arguments>".
    bool Ip(const std::string& inNamespace, const std::string& arguments);

    // Moves the calling thread (and the threads it starts later) into the namespace.
    static bool EnterNamespace(const std::string& name);
    // The command that runs a program inside the namespace.
    static std::vector<std::string> Launcher(const std::string& name);

private:
    std::string NewName(const std::string& role);

    std::vector<std::string> m_namespaces;
    int m_made = 0;
};

}  // namespace ordvane::testing
