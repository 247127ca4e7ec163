#pragma once
// Network namespaces for the server tests and benchmarks.
//
// The calling thread moves into a fresh namespace of its own (it vanishes with the last thread
// or socket in it, whatever happens to the test) and is joined by a veth pair to a named peer
// namespace, "odc-<pid>", which plays the client's link and is deleted by the destructor. No
// default route exists on either side.

#include <string>

namespace dhcptest {

// Why namespaced tests cannot run here (not root, `ip` or busybox missing); empty when they can.
std::string NamespaceSkipReason(bool needsBusybox);

// Runs a shell command; true when it exits with 0.
bool RunCommand(const std::string& command);

// Runs a shell command and returns what it printed on stdout and stderr.
std::string CaptureCommand(const std::string& command, int* exitStatus);

// Opens a UDP socket in the calling thread's namespace, bound to 0.0.0.0:port with broadcast
// allowed; -1 on failure.
int OpenBroadcastUdpSocket(unsigned short port);

// Moves the calling thread (and every thread it starts later) into a fresh network namespace
// with its loopback up.
bool EnterFreshNamespace();

class PeerNamespace {
public:
    static constexpr const char* kServerAddress = "10.200.1.1";
    static constexpr const char* kPeerAddress = "10.200.1.2";

    PeerNamespace();
    ~PeerNamespace();
    PeerNamespace(const PeerNamespace&) = delete;
    PeerNamespace& operator=(const PeerNamespace&) = delete;

    // Creates the peer namespace and the veth pair; the caller's end gets 10.200.1.1/24, the
    // peer's end comes up with the given MAC and no address.
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

}  // namespace dhcptest
