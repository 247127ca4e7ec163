#pragma once
// Test support shared by every test area that needs modules that answer.
//
// SimProcess runs quillmor-sim as a child process on loopback and collects its standard output:
//
//     ordvane::testing::SimProcess sim({"--count", "3", "--seed", "5"});
//     ASSERT_TRUE(sim.WaitReady()) << sim.Describe();
//     ordvane::testing::PointLibraryAt(sim);       // ZEVA_TARGETS=127.0.0.1:<port>,
//                                                  // ZEVA_INTERFACES=none
//     ... ZEVA_Start(), ZEVA_SendModuleScan() ...
//     ASSERT_TRUE(sim.WaitForLines("wink ", 1));   // the emulator's "wink mac=..." line
//
// Unless the arguments say otherwise, the emulator listens on 127.0.0.1 on a free port (it
// picks one itself and reports it on its "ready port=<P> modules=<N>" line, so parallel tests
// never collide) and answers without delay (--jitter-ms 0). The destructor stops it (SIGTERM,
// then SIGKILL) and it also dies with the test process. The emulator binary is the one built
// beside the tests; the environment variable ORDVANE_SIM names another.
//
// Nothing here ever broadcasts: PointLibraryAt switches interface broadcasts off, so a test
// only talks to loopback.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/Mutex.h"

namespace ordvane::testing {

class SimProcess {
public:
    // launcher, when given, is a command that runs the emulator, for example
    // {"ip", "netns", "exec", "<namespace>"}.
    explicit SimProcess(std::vector<std::string> arguments, std::vector<std::string> launcher = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Waits for the ready line; false if the emulator ended or the time ran out.
    bool WaitReady(std::chrono::milliseconds timeout = std::chrono::seconds(20)) EXCLUDES(m_mutex);
    std::uint16_t Port() const EXCLUDES(m_mutex);
    // "127.0.0.1:<port>", the value for ZEVA_TARGETS.
    std::string Target() const;

    // Every line printed so far after the ready line.
    std::vector<std::string> Lines() const EXCLUDES(m_mutex);
    std::vector<std::string> LinesStartingWith(std::string_view prefix) const;
    // Waits until at least count lines start with prefix.
    bool WaitForLines(std::string_view prefix, std::size_t count,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) const
        EXCLUDES(m_mutex);

    // Stops the emulator and waits for it; true when it ended by the stop request or by itself.
    bool Stop() EXCLUDES(m_mutex);
    // The command line and the output so far, for failure messages.
    std::string Describe() const;

private:
    void ReadOutput(int descriptor) EXCLUDES(m_mutex);

    std::vector<std::string> m_arguments;
    std::vector<std::string> m_launcher;
    pid_t m_pid = -1;
    std::thread m_reader;
    mutable Mutex m_mutex;
    mutable CondVar m_changed;
    std::vector<std::string> m_lines GUARDED_BY(m_mutex);
    std::uint16_t m_port GUARDED_BY(m_mutex) = 0;
    bool m_ready GUARDED_BY(m_mutex) = false;
    bool m_ended GUARDED_BY(m_mutex) = false;
};

// Points the library of this process at the emulator only: ZEVA_TARGETS=127.0.0.1:<port> and
// ZEVA_INTERFACES=none (no broadcast on any real interface).
void PointLibraryAt(const SimProcess& sim);
void PointLibraryAt(std::uint16_t port);

// The path of the quillmor-sim binary the tests use.
std::string SimBinary();

}  // namespace ordvane::testing
