#pragma once
// Network namespaces for the server tests and benchmarks.
//
// The calling thread moves into a fresh namespace of its own (it vanishes with the last thread
// or socket in it, whatever happens to the test) and is joined by a veth pair to a named peer
// namespace, "odc-<pid>", which plays the client's link and is deleted by the destructor. No
// default route exists on either side. The temporary folder, shell command and background
// process helpers these tests use come with it.

#include <string>
#include <vector>

#include "tests/support/BackgroundProcess.h"
#include "tests/support/ShellCommand.h"
#include "tests/support/TemporaryFolder.h"

namespace ordvane::testing {

// Why namespaced tests cannot run here (not root, `ip` or busybox missing); empty when they can.
std::string NamespaceSkipReason(bool needsBusybox);

// Opens a UDP socket in the calling thread's namespace, bound to 0.0.0.0:port with broadcast
// allowed; -1 on failure.
int OpenBroadcastUdpSocket(unsigned short port);

// Moves the calling thread (and every thread it starts later) into a fresh network namespace
// with its loopback up.
bool EnterFreshNamespace();

// For a fixture's SetUp: skips the test with the reason where namespaces cannot be made, and
// otherwise moves the thread into a fresh one (a failure to do so fails the test).
#define ORDVANE_ENTER_FRESH_NAMESPACE_OR_SKIP()                                        \
    do {                                                                               \
        const std::string skipReason = ::ordvane::testing::NamespaceSkipReason(false); \
        if (!skipReason.empty()) {                                                     \
            GTEST_SKIP() << skipReason;                                                \
        }                                                                              \
        ASSERT_TRUE(::ordvane::testing::EnterFreshNamespace());                        \
    } while (false)

class PeerNamespace {
public:
    static constexpr const char* kServerAddress = "10.200.1.1";
    static constexpr const char* kPeerAddress = "10.200.1.2";

    PeerNamespace();
    ~PeerNamespace();
    PeerNamespace(const PeerNamespace&) = delete;
    PeerNamespace& operator=(const PeerNamespace&) = delete;

    // Creates the peer namespace and the veth pair; the caller's end gets 10.200.1.1/24 with
    // its broadcast address, the peer's end comes up with the given MAC and no address.
    bool Create(const std::string& peerMac);
    // Gives the peer's end 10.200.1.2/24, for tests that talk through a plain socket.
    bool GivePeerAddress();
    // Runs a shell command inside the peer namespace.
    std::string CaptureInPeer(const std::string& command, int* exitStatus) const;
    // Opens a UDP socket inside the peer namespace, bound to 0.0.0.0:port with broadcast
    // allowed; -1 on failure.
    int OpenUdpSocketInPeer(unsigned short port) const;

    const std::string& Name() const { return m_name; }
    const std::string& PeerInterface() const { return m_peerInterface; }
    const std::string& LocalInterface() const { return m_localInterface; }

private:
    std::string m_name;
    std::string m_localInterface;
    std::string m_peerInterface;
    bool m_created = false;
};

// A plant's Ethernet link: a bridge in a namespace of its own ("odb-<pid>") with one port to
// the calling thread's namespace and one to each member namespace ("odm<n>-<pid>"). Every
// namespace goes with the destructor.
class BridgedLink {
public:
    BridgedLink();
    ~BridgedLink();
    BridgedLink(const BridgedLink&) = delete;
    BridgedLink& operator=(const BridgedLink&) = delete;

    // The bridge and the caller's port, with the given address ("A/N", broadcast derived).
    bool Create(const std::string& callerAddress);
    // A member namespace on the link, its port with the given MAC and, unless empty, address.
    // Returns the member's number, or -1.
    int AddMember(const std::string& mac, const std::string& address);

    const std::string& CallerInterface() const { return m_callerInterface; }
    std::string MemberNamespace(int member) const;
    std::string MemberInterface(int member) const;

private:
    std::string m_pid;
    std::string m_bridgeNamespace;
    std::string m_callerInterface;
    std::vector<std::string> m_members;  // namespace names
    int m_ports = 0;
};

// The command line of a plant's own DHCP server on a link member: dnsmasq in the foreground,
// serving 192.168.50.100 to .150 for two minutes, its lease, pid and log files in folder, and
// the given options added (for example "--dhcp-host=MAC,ignore").
std::vector<std::string> PlantDhcpServerCommand(const BridgedLink& link, int member,
                                                const std::string& folder,
                                                const std::vector<std::string>& extraOptions = {});

}  // namespace ordvane::testing
