#include "tests/dhcp/NetworkNamespaces.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace dhcptest {

namespace {

constexpr const char* kBusybox = "/usr/bin/busybox";

}  // namespace

std::string NamespaceSkipReason(bool needsBusybox) {
    if (geteuid() != 0) {
        return "needs root to create network namespaces";
    }
    if (!RunCommand("command -v ip >/dev/null 2>&1")) {
        return "needs the ip command (iproute2)";
    }
    if (needsBusybox && access(kBusybox, X_OK) != 0) {
        return "needs busybox at /usr/bin/busybox for its udhcpc";
    }
    return {};
}

bool RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string CaptureCommand(const std::string& command, int* exitStatus) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        *exitStatus = -1;
        return output;
    }
    std::array<char, 512> chunk{};
    std::size_t count = 0;
    while ((count = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
        output.append(chunk.data(), count);
    }
    const int status = pclose(pipe);
    *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
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
           RunCommand("ip addr add " + std::string(kServerAddress) + "/24 dev " +
                      m_localInterface) &&
           RunCommand("ip link set " + m_localInterface + " up") &&
           RunCommand(peer + "link set lo up") &&
           RunCommand(peer + "link set " + m_peerInterface + " address " + peerMac) &&
           RunCommand(peer + "link set " + m_peerInterface + " up");
}

bool PeerNamespace::GivePeerAddress() {
    return RunCommand("ip -n " + m_name + " addr add " + std::string(kPeerAddress) + "/24 dev " +
                      m_peerInterface);
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

}  // namespace dhcptest
