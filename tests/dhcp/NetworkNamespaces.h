#pragma once
// Network namespaces for the server tests and benchmarks.
//
// The calling thread moves into a fresh namespace of its own (it vanishes with the last thread
// or socket in it, whatever happens to the test) and is joined by a veth pair to a named peer
// namespace, "odc-<pid>", which plays the client's link and is deleted by the destructor. No
// default route exists on either side.

#include <sys/types.h>

#include <string>
#include <vector>

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

// A program in the background, its output in a file; stopped (SIGTERM, then SIGKILL after two
// seconds) by Stop or the destructor, whatever the test's outcome.
class BackgroundProcess {
public:
    BackgroundProcess(const std::vector<std::string>& arguments, const std::string& outputPath);
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    bool Started() const { return m_pid > 0; }
    void Stop();
    std::string Output() const;

private:
    pid_t m_pid = -1;
    std::string m_outputPath;
};

// A fresh private folder under the temporary directory, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // Writes a file in the folder (executable when asked) and returns its path.
    std::string Write(const std::string& name, const std::string& text, bool executable = false);

private:
    std::string m_path;
};

}  // namespace dhcptest
