#include "tests/support/TestNetwork.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include "tests/support/ShellCommand.h"

namespace ordvane::testing {

namespace {

bool Shell(const std::string& command) {
    return RunCommand(command + " >/dev/null 2>&1");
}

}  // namespace

TestNetwork::~TestNetwork() {
    for (const std::string& name : m_namespaces) {
        Shell("ip netns del " + name);
    }
}

std::string TestNetwork::SkipReason() {
    if (geteuid() != 0) {
        return "needs root to create network namespaces";
    }
    if (!Shell("ip -V")) {
        return "needs ip (iproute2)";
    }
    return "";
}

// Interface names have at most 15 characters: a short role, a serial and the process id.
std::string TestNetwork::NewName(const std::string& role) {
    return "ov" + role.substr(0, 3) + std::to_string(m_made++) + "-" + std::to_string(getpid());
}

std::string TestNetwork::AddNamespace(const std::string& role) {
    const std::string name = NewName(role);
    if (!Shell("ip netns add " + name)) {
        return "";
    }
    m_namespaces.push_back(name);
    // Reverse-path filtering off, as Debian leaves it: a module outside every subnet of ours
    // answers from an address no route of this namespace leads to.
    const bool ready =
        Ip(name, "link set lo up") &&
        Shell("ip netns exec " + name + " sysctl -qw net.ipv4.conf.all.rp_filter=0") &&
        Shell("ip netns exec " + name + " sysctl -qw net.ipv4.conf.default.rp_filter=0");
    return ready ? name : "";
}

std::pair<std::string, std::string> TestNetwork::AddLink(const std::string& firstNamespace,
                                                         const std::string& secondNamespace) {
    const std::string first = NewName("v");
    const std::string second = NewName("v");
    const bool made = Shell("ip link add " + first + " netns " + firstNamespace +
                            " type veth peer name " + second + " netns " + secondNamespace) &&
                      Ip(firstNamespace, "link set " + first + " up") &&
                      Ip(secondNamespace, "link set " + second + " up");
    return made ? std::pair{first, second} : std::pair<std::string, std::string>{};
}

std::string TestNetwork::AddBridge(const std::string& inNamespace,
                                   const std::vector<std::string>& ports) {
    const std::string bridge = NewName("br");
    bool made = Ip(inNamespace, "link add " + bridge + " type bridge") &&
                Ip(inNamespace, "link set " + bridge + " up");
    for (const std::string& port : ports) {
        made = made && Ip(inNamespace, "link set " + port + " master " + bridge);
    }
    return made ? bridge : "";
}

bool TestNetwork::AddAddress(const std::string& inNamespace, const std::string& link,
                             const std::string& cidr) {
    return Ip(inNamespace, "addr add " + cidr + " brd + dev " + link);
}

bool TestNetwork::Ip(const std::string& inNamespace, const std::string& arguments) {
    return Shell("ip -n " + inNamespace + " " + arguments);
}

bool TestNetwork::EnterNamespace(const std::string& name) {
    const int descriptor = open(("/var/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    const bool entered = descriptor >= 0 && setns(descriptor, CLONE_NEWNET) == 0;
    if (descriptor >= 0) {
        close(descriptor);
    }
    return entered;
}

std::vector<std::string> TestNetwork::Launcher(const std::string& name) {
    return {"ip", "netns", "exec", name};
}

}  // namespace ordvane::testing
