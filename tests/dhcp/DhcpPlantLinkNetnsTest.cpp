// The recovery server on a link it shares with a plant's DHCP server: real clients renew the
// lease it gave them (their renewal is unicast and so is the answer), a client rebooting with a
// plant lease keeps it, and a client rebinding a plant lease is not answered. The server runs
// in this test's namespace; each client runs in a namespace of its own with a private /run.

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dhcp/CRecoveryDhcpServer.h"
#include "tests/dhcp/DhcpTestPackets.h"
#include "tests/support/NetworkNamespaces.h"

namespace {

using ordvane::CDhcpServer;
using ordvane::CRecoveryDhcpServer;

using ordvane::testing::PeerNamespace;
using ordvane::testing::TemporaryFolder;

// clang-format off
// Shared by the client scripts: waits up to 30 s for a line starting with $1 in the events
// file, at least $2 times.
constexpr const char* kAwaitEvent = R"sh(
await() {
    tries=0
    while [ $tries -lt 300 ] && [ "$(cat "$dir/events" 2>/dev/null | grep -c "^$1")" -lt "$2" ]; do
        sleep 0.1; tries=$((tries + 1))
    done
}
)sh";

// dhcpcd takes a lease, is told to renew it (dhcpcd -N), and its hook logs every event.
constexpr const char* kDhcpcdRenews = R"sh(
mount -t tmpfs tmpfs /run && mount -t tmpfs tmpfs /var/lib/dhcpcd || exit 1
printf '#!/bin/sh\necho "$reason $new_ip_address" >>%s/events\n' "$dir" >"$dir/hook"
chmod +x "$dir/hook"
/usr/sbin/dhcpcd -4 -B -c "$dir/hook" "$link" >"$dir/client.log" 2>&1 &
client=$!
await BOUND 1
/usr/sbin/dhcpcd -4 -N "$link" >>"$dir/client.log" 2>&1
await RENEW 1
kill $client; wait $client
cat "$dir/client.log" "$dir/events"
)sh";

// systemd-networkd (with a bus of its own, for networkctl) takes a lease and is told to renew
// it. Its debug log names every message it receives and from which socket.
constexpr const char* kNetworkdRenews = R"sh(
mount -t tmpfs tmpfs /run || exit 1
index=$(cat /sys/class/net/$link/ifindex)
mkdir -p /run/udev/data /run/systemd/netif/links /run/systemd/netif/leases \
    /run/systemd/netif/lldp /run/systemd/network /run/dbus
echo "I:$(date +%s%6N)" >/run/udev/data/n$index
chown -R systemd-network:systemd-network /run/systemd/netif
printf '[Match]\nName=%s\n[Network]\nDHCP=ipv4\n' "$link" >/run/systemd/network/50-module.network
dbus-daemon --system --fork --nopidfile || exit 1
SYSTEMD_LOG_LEVEL=debug /lib/systemd/systemd-networkd >"$dir/networkd.log" 2>&1 &
client=$!
tries=0
while [ $tries -lt 300 ] && [ ! -s /run/systemd/netif/leases/$index ]; do
    sleep 0.1; tries=$((tries + 1))
done
networkctl renew "$link"
tries=0
while [ $tries -lt 100 ] && ! grep -q "Received message from UDP socket" "$dir/networkd.log"; do
    sleep 0.1; tries=$((tries + 1))
done
kill $client; wait $client
kill $(pidof dbus-daemon) 2>/dev/null
grep "DHCPv4 client: " "$dir/networkd.log" | sed 's/^[^ ]*: //'
)sh";

// clang-format on

struct RenewingClient {
    const char* name;
    const char* script;
    const char* renewed;  // what the client's output holds once the renewal was acknowledged
};

const RenewingClient kRenewingClients[] = {
    {"dhcpcd", kDhcpcdRenews, "RENEW 10.200.1.42"},
    {"networkd", kNetworkdRenews,
     "REQUEST (renewing)\nDHCPv4 client: Received message from UDP socket, processing.\n"
     "DHCPv4 client: ACK"},
};

class DhcpPlantLink : public ::testing::Test {
protected:
    void SetUp() override {
        ORDVANE_ENTER_FRESH_NAMESPACE_OR_SKIP();
        ASSERT_FALSE(m_folder.Path().empty());
        m_server.Server().SetTraceSink([this](std::string_view text) {
            std::lock_guard lock(m_mutex);
            m_trace += text;
        });
        m_server.Server().SetReplySink([this](const CDhcpServer::ReplyReport& reply) {
            std::lock_guard lock(m_mutex);
            m_replies += std::to_string(reply.messageType) + (reply.unicast ? " unicast\n" : "\n");
        });
    }
    void TearDown() override { m_server.SwitchOff(); }

    void SwitchOn() {
        const ordvane::Status on = m_server.SwitchOn();
        ASSERT_TRUE(on) << on.Reason();
    }
    std::string Trace() {
        std::lock_guard lock(m_mutex);
        return m_trace;
    }
    std::string Replies() {
        std::lock_guard lock(m_mutex);
        return m_replies;
    }

    // Runs a client script in the namespace with $dir and $link set.
    std::string RunScript(const std::string& namespaceName, const std::string& link,
                          const std::string& body) {
        const std::string script = m_folder.Write(
            "client.sh",
            "#!/bin/sh\ndir=" + m_folder.Path() + "\nlink=" + link + "\n" + kAwaitEvent + body,
            true);
        int status = 0;
        return ordvane::testing::CaptureCommand(
            "ip netns exec " + namespaceName + " timeout 60 " + script + " 2>&1", &status);
    }

    TemporaryFolder m_folder;
    std::mutex m_mutex;
    std::string m_trace;
    std::string m_replies;
    CRecoveryDhcpServer m_server;
};

// A renewing client unicasts its REQUEST and listens on its leased address: the ACK must go
// there, not to the broadcast address.
TEST_F(DhcpPlantLink, ClientsRenewTheirRecoveryLease) {
    for (const char* program : {"/usr/sbin/dhcpcd", "/lib/systemd/systemd-networkd",
                                "/usr/bin/networkctl", "/usr/bin/dbus-daemon"}) {
        if (access(program, X_OK) != 0) {
            GTEST_SKIP() << "needs " << program << " (tools/install-deps installs it)";
        }
    }
    PeerNamespace peer;
    ASSERT_TRUE(peer.Create("0a:51:4d:00:00:2a"));
    for (const RenewingClient& client : kRenewingClients) {
        std::remove((m_folder.Path() + "/events").c_str());
        SwitchOn();
        const std::string output = RunScript(peer.Name(), peer.PeerInterface(), client.script);
        m_server.SwitchOff();
        EXPECT_NE(output.find(client.renewed), std::string::npos) << client.name << ":\n" << output;
        EXPECT_NE(Replies().find("5 unicast\n"), std::string::npos) << client.name << Replies();
        RunScript(peer.Name(), peer.PeerInterface(), "ip addr flush dev $link");
    }
}

// dnsmasq serves the plant's 192.168.50.0/24. A module that leased 192.168.50.x from it
// reboots while the recovery server runs: its INIT-REBOOT REQUEST (option 50, no server
// identifier) is the plant's to answer, and it keeps its address.
TEST_F(DhcpPlantLink, RebootingModuleKeepsItsPlantLease) {
    for (const char* program : {"/usr/sbin/dnsmasq", "/usr/sbin/dhclient"}) {
        if (access(program, X_OK) != 0) {
            GTEST_SKIP() << "needs " << program << " (tools/install-deps installs it)";
        }
    }
    ordvane::testing::BridgedLink link;
    ASSERT_TRUE(link.Create("192.168.50.5/24"));
    const int plantServer = link.AddMember("02:00:00:00:00:01", "192.168.50.1/24");
    const int module = link.AddMember("0a:51:4d:00:00:2a", "");
    ASSERT_GE(plantServer, 0);
    ASSERT_GE(module, 0);
    const std::string folder = m_folder.Path();
    ordvane::testing::BackgroundProcess dnsmasq(
        ordvane::testing::PlantDhcpServerCommand(link, plantServer, folder),
        folder + "/dnsmasq.log");
    ASSERT_TRUE(dnsmasq.Started());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    // dhclient remembers the lease in its lease file; started again it first asks to keep it.
    const std::string dhclient =
        "printf '#!/bin/sh\\necho \"$reason $new_ip_address\" >>%s/events\\n' \"$dir\" "
        ">\"$dir/hook\"; chmod +x \"$dir/hook\"\n"
        "/usr/sbin/dhclient -4 -d -1 -pf \"$dir/dhclient.pid\" -lf \"$dir/dhclient.leases\" "
        "-sf \"$dir/hook\" \"$link\" >\"$dir/client.log\" 2>&1 &\n"
        "client=$!\nawait \"$1\" 1\nkill $client; wait $client\ncat \"$dir/events\"\n";
    const std::string first = RunScript(link.MemberNamespace(module), link.MemberInterface(module),
                                        "set -- BOUND\n" + dhclient);
    const std::size_t bound = first.find("BOUND 192.168.50.");
    ASSERT_NE(bound, std::string::npos) << first << dnsmasq.Output();
    const std::string plantAddress = first.substr(bound + 6, first.find('\n', bound) - bound - 6);

    SwitchOn();
    const std::string second = RunScript(link.MemberNamespace(module), link.MemberInterface(module),
                                         "set -- REBOOT\n" + dhclient);
    m_server.SwitchOff();
    dnsmasq.Stop();
    EXPECT_NE(second.find("REBOOT " + plantAddress + "\n"), std::string::npos)
        << second << dnsmasq.Output();
    EXPECT_EQ(Replies(), "");
    EXPECT_NE(Trace().find("confirms " + plantAddress + ", another server's address"),
              std::string::npos)
        << Trace();
}

// A UDP socket on port 68 in the peer namespace whose broadcasts leave by the module's card
// (a limited broadcast has no route of its own); -1 on failure.
int ModuleSocket(const PeerNamespace& peer) {
    const int module = peer.OpenUdpSocketInPeer(CDhcpServer::kClientPort);
    const std::string card = peer.PeerInterface();
    if (module >= 0 && setsockopt(module, SOL_SOCKET, SO_BINDTODEVICE, card.c_str(),
                                  static_cast<socklen_t>(card.size())) != 0) {
        close(module);
        return -1;
    }
    return module;
}

bool BroadcastToServers(int module, const dhcptest::Bytes& message) {
    sockaddr_in everyone{};
    everyone.sin_family = AF_INET;
    everyone.sin_port = htons(CDhcpServer::kServerPort);
    everyone.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    return sendto(module, message.data(), message.size(), 0,
                  reinterpret_cast<const sockaddr*>(&everyone),
                  sizeof everyone) == static_cast<ssize_t>(message.size());
}

// A module whose plant server has not answered its renewals for 7/8 of the lease broadcasts its
// REQUEST with its plant address as ciaddr: only the plant's server may answer it.
TEST_F(DhcpPlantLink, RebindingModuleWithAPlantLeaseIsNotAnswered) {
    PeerNamespace peer;
    ASSERT_TRUE(peer.Create("0a:51:4d:00:00:2a"));
    ASSERT_TRUE(
        RunScript(peer.Name(), peer.PeerInterface(), "ip addr add 192.168.5.20/24 brd + dev $link")
            .empty());
    const int module = ModuleSocket(peer);
    ASSERT_GE(module, 0);
    SwitchOn();
    dhcptest::Bytes rebind = dhcptest::ClientMessage(dhcptest::kOuiMac2A, dhcptest::kRequest);
    dhcptest::SetClientAddress(rebind, {192, 168, 5, 20});
    dhcptest::ClearRelayAddress(rebind);
    ASSERT_TRUE(BroadcastToServers(module, rebind));
    pollfd waiting{module, POLLIN, 0};
    EXPECT_EQ(poll(&waiting, 1, 1000), 0) << "the rebinding module was answered";
    close(module);
    m_server.SwitchOff();
    EXPECT_NE(Trace().find("renews 192.168.5.20, another server's lease: not answered"),
              std::string::npos)
        << Trace();
}

// A lease that leaves a card without an IPv4 address cannot be renewed: said once per card,
// and counted with the others.
TEST_F(DhcpPlantLink, ALeaseOutOfACardWithoutAddressIsNoticedOnce) {
    PeerNamespace peer;
    ASSERT_TRUE(peer.Create("0a:51:4d:00:00:2a"));
    ASSERT_TRUE(ordvane::testing::RunCommand("ip addr flush dev " + peer.LocalInterface()));
    std::vector<CDhcpServer::LinkNotice> notices;
    m_server.Server().SetNoticeSink([this, &notices](const CDhcpServer::LinkNotice& notice) {
        std::lock_guard lock(m_mutex);
        notices.push_back(notice);
    });
    const int module = ModuleSocket(peer);
    ASSERT_GE(module, 0);
    SwitchOn();
    // Two acknowledgements; a datagram lost while the new link settles is sent again.
    dhcptest::Bytes request = dhcptest::ClientMessage(dhcptest::kOuiMac2A, dhcptest::kRequest);
    int acknowledged = 0;
    for (int tries = 0; tries < 8 && acknowledged < 2; ++tries) {
        ASSERT_TRUE(BroadcastToServers(module, request));
        pollfd waiting{module, POLLIN, 0};
        std::uint8_t reply[2048];
        if (poll(&waiting, 1, 1000) == 1 && recv(module, reply, sizeof reply, 0) > 0) {
            ++acknowledged;
        }
    }
    ASSERT_EQ(acknowledged, 2);
    close(module);
    m_server.SwitchOff();  // the worker counts a reply just after sending it
    const CDhcpServer::Activity activity = m_server.Server().CurrentActivity();
    const int card = static_cast<int>(if_nametoindex(peer.LocalInterface().c_str()));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].kind, CDhcpServer::LinkNotice::Kind::kCardWithoutAddress);
    EXPECT_EQ(notices[0].interfaceIndex, card);
    EXPECT_EQ(activity.leases, 2u);
    EXPECT_TRUE(activity.hasLastLease);
    EXPECT_EQ(activity.lastLeaseMac, dhcptest::kOuiMac2A);
    EXPECT_EQ(activity.cardWithoutAddressInterface, card);
    EXPECT_FALSE(activity.otherServerSeen);
}

}  // namespace
