// ReadHostInterfaces inside a network namespace of the test's own, whose interfaces are known:
// a veth pair with one end up and one down, and loopback. Needs root and iproute2.
#include "modlist/ModuleWarnings.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

namespace ordvane {
namespace {

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

class HostInterfacesInNamespace : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) {
            GTEST_SKIP() << "needs root to create a network namespace";
        }
        if (!Shell("command -v ip")) {
            GTEST_SKIP() << "needs ip (iproute2)";
        }
        const std::string in = "ip -n " + name_ + " ";
        created_ = Shell("ip netns add " + name_);
        ASSERT_TRUE(created_) << "ip netns add " << name_;
        ASSERT_TRUE(Shell(in + "link add wa0 type veth peer name wa1"));
        ASSERT_TRUE(Shell(in + "addr add 10.77.3.1/16 dev wa0"));
        ASSERT_TRUE(Shell(in + "addr add 10.78.0.1/24 dev wa1"));  // stays down
        ASSERT_TRUE(Shell(in + "link set wa0 up"));
        ASSERT_TRUE(Shell(in + "link set lo up"));
    }

    void TearDown() override {
        if (created_) {
            Shell("ip netns del " + name_);
        }
    }

    // setns moves only the calling thread, so a thread of its own reads the namespace.
    std::optional<std::vector<HostInterface>> ReadInNamespace() {
        std::optional<std::vector<HostInterface>> interfaces;
        bool entered = false;
        std::thread reader([&] {
            const int handle = open(("/run/netns/" + name_).c_str(), O_RDONLY | O_CLOEXEC);
            entered = handle >= 0 && setns(handle, CLONE_NEWNET) == 0;
            if (handle >= 0) {
                close(handle);
            }
            if (entered) {
                interfaces = ReadHostInterfaces();
            }
        });
        reader.join();
        EXPECT_TRUE(entered) << "could not enter " << name_;
        return interfaces;
    }

    std::string name_ = "ordvane-warnings-" + std::to_string(getpid());
    bool created_ = false;
};

TEST_F(HostInterfacesInNamespace, ListsTheInterfacesThatAreUpWithoutLoopback) {
    const auto interfaces = ReadInNamespace();
    ASSERT_TRUE(interfaces.has_value());
    ASSERT_EQ(interfaces->size(), 1u);
    EXPECT_EQ(interfaces->front().name, "wa0");
    EXPECT_EQ(interfaces->front().address, Ip(10, 77, 3, 1));
    EXPECT_EQ(interfaces->front().netmask, Ip(255, 255, 0, 0));
}

}  // namespace
}  // namespace ordvane
