#include "tests/support/NetworkNamespaces.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "tests/support/ShellCommand.h"
#include "tests/support/TestNetwork.h"

namespace ordvane::testing {

namespace {

constexpr const char* kBusybox = "/usr/bin/busybox";

}  // namespace

std::string NamespaceSkipReason(bool needsBusybox) {
    std::string reason = TestNetwork::SkipReason();
    if (!reason.empty()) {
        return reason;
    }
    if (needsBusybox && access(kBusybox, X_OK) != 0) {
        return "needs busybox at /usr/bin/busybox for its udhcpc";
    }
    return "";
}

int OpenBroadcastUdpSocket(unsigned short port) {
    const int descriptor = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (descriptor < 0) {
        return -1;
    }
    const int one = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (setsockopt(descriptor, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0 ||
        bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

bool EnterFreshNamespace() {
    return unshare(CLONE_NEWNET) == 0 && RunCommand("ip link set lo up");
}

PeerNamespace::PeerNamespace() {
    const std::string pid = std::to_string(getpid());
    m_name = "odc-" + pid;
    m_localInterface = "ods" + pid;
    m_peerInterface = "odc" + pid;
}

PeerNamespace::~PeerNamespace() {
    if (m_created) {
        // Deleting the namespace also deletes the veth pair with it.
        RunCommand("ip netns delete " + m_name + " 2>/dev/null");
    }
}

bool PeerNamespace::Create(const std::string& peerMac) {
    RunCommand("ip netns delete " + m_name + " 2>/dev/null");  // left by a crashed run
    if (!RunCommand("ip netns add " + m_name)) {
        return false;
    }
    m_created = true;
    const std::string peer = "ip -n " + m_name + " ";
    return RunCommand("ip link add " + m_localInterface + " type veth peer name " +
                      m_peerInterface + " netns " + m_name) &&
           RunCommand("ip addr add " + std::string(kServerAddress) + "/24 brd + dev " +
                      m_localInterface) &&
           RunCommand("ip link set " + m_localInterface + " up") &&
           RunCommand(peer + "link set lo up") &&
           RunCommand(peer + "link set " + m_peerInterface + " address " + peerMac) &&
           RunCommand(peer + "link set " + m_peerInterface + " up");
}

bool PeerNamespace::GivePeerAddress() {
    return RunCommand("ip -n " + m_name + " addr add " + std::string(kPeerAddress) +
                      "/24 brd + dev " + m_peerInterface);
}

std::string PeerNamespace::CaptureInPeer(const std::string& command, int* exitStatus) const {
    return CaptureCommand("ip netns exec " + m_name + " " + command, exitStatus);
}

int PeerNamespace::OpenUdpSocketInPeer(unsigned short port) const {
    int descriptor = -1;
    // A socket belongs to the namespace of the thread that creates it, so a short-lived
    // thread enters the peer namespace, opens the socket and hands it back.
    std::thread opener([&] {
        const int namespaceFile = open(("/run/netns/" + m_name).c_str(), O_RDONLY | O_CLOEXEC);
        if (namespaceFile < 0) {
            return;
        }
        if (setns(namespaceFile, CLONE_NEWNET) == 0) {
            descriptor = OpenBroadcastUdpSocket(port);
        }
        close(namespaceFile);
    });
    opener.join();
    return descriptor;
}

BridgedLink::BridgedLink() : m_pid(std::to_string(getpid())), m_bridgeNamespace("odb-" + m_pid) {}

BridgedLink::~BridgedLink() {
    // Deleting a namespace deletes the veth ends in it, and so the pairs.
    for (const std::string& member : m_members) {
        RunCommand("ip netns delete " + member + " 2>/dev/null");
    }
    RunCommand("ip netns delete " + m_bridgeNamespace + " 2>/dev/null");
}

bool BridgedLink::Create(const std::string& callerAddress) {
    RunCommand("ip netns delete " + m_bridgeNamespace + " 2>/dev/null");  // left by a crash
    const std::string bridge = "ip -n " + m_bridgeNamespace + " ";
    m_callerInterface = "odb" + m_pid;
    const std::string port = "odp" + m_pid + "-" + std::to_string(m_ports++);
    return RunCommand("ip netns add " + m_bridgeNamespace) &&
           RunCommand(bridge + "link add br0 type bridge") &&
           RunCommand(bridge + "link set br0 up") &&
           RunCommand("ip link add " + m_callerInterface + " type veth peer name " + port +
                      " netns " + m_bridgeNamespace) &&
           RunCommand(bridge + "link set " + port + " master br0 up") &&
           RunCommand("ip addr add " + callerAddress + " brd + dev " + m_callerInterface) &&
           RunCommand("ip link set " + m_callerInterface + " up");
}

std::string BridgedLink::MemberNamespace(int member) const {
    return m_members.at(static_cast<std::size_t>(member));
}

std::string BridgedLink::MemberInterface(int member) const {
    return "odm" + m_pid + "-" + std::to_string(member);
}

int BridgedLink::AddMember(const std::string& mac, const std::string& address) {
    const int member = static_cast<int>(m_members.size());
    const std::string name = "odm" + std::to_string(member) + "-" + m_pid;
    RunCommand("ip netns delete " + name + " 2>/dev/null");
    if (!RunCommand("ip netns add " + name)) {
        return -1;
    }
    m_members.push_back(name);
    const std::string inside = "ip -n " + name + " ";
    const std::string interface = MemberInterface(member);
    const std::string port = "odp" + m_pid + "-" + std::to_string(m_ports++);
    const bool made =
        RunCommand("ip -n " + m_bridgeNamespace + " link add " + port + " type veth peer name " +
                   interface + " netns " + name) &&
        RunCommand("ip -n " + m_bridgeNamespace + " link set " + port + " master br0 up") &&
        RunCommand(inside + "link set lo up") &&
        RunCommand(inside + "link set " + interface + " address " + mac) &&
        (address.empty() ||
         RunCommand(inside + "addr add " + address + " brd + dev " + interface)) &&
        RunCommand(inside + "link set " + interface + " up");
    return made ? member : -1;
}

std::vector<std::string> PlantDhcpServerCommand(const BridgedLink& link, int member,
                                                const std::string& folder,
                                                const std::vector<std::string>& extraOptions) {
    std::vector<std::string> command = {
        "ip",
        "netns",
        "exec",
        link.MemberNamespace(member),
        "/usr/sbin/dnsmasq",
        "--keep-in-foreground",
        "--conf-file=/dev/null",
        "--no-resolv",
        "--no-hosts",
        "--port=0",
        "--no-ping",
        "--bind-interfaces",
        "--interface=" + link.MemberInterface(member),
        "--dhcp-range=192.168.50.100,192.168.50.150,255.255.255.0,2m",
        "--dhcp-leasefile=" + folder + "/dnsmasq.leases",
        "--pid-file=" + folder + "/dnsmasq.pid",
        "--log-dhcp",
        "--log-facility=-"};
    command.insert(command.end(), extraOptions.begin(), extraOptions.end());
    return command;
}

}  // namespace ordvane::testing
