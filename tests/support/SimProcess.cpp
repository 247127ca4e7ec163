#include "tests/support/SimProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/SaturatingAtoi.h"

namespace ordvane::testing {

namespace {

constexpr std::string_view kReadyPrefix = "ready port=";

bool HasOption(const std::vector<std::string>& arguments, std::string_view name) {
    return std::find(arguments.begin(), arguments.end(), name) != arguments.end();
}

// The window and ordvane-cli keep the modules they have seen in $XDG_STATE_HOME. Every test
// process that plays modules gets a folder of its own for that, removed when it ends: tests
// reuse MACs with other password modes, and no test may touch the user's own file.
struct PrivateStateFolder {
    PrivateStateFolder() {
        char pattern[] = "/tmp/ordvane-state-XXXXXX";
        if (::mkdtemp(pattern) != nullptr) {
            path = pattern;
            ::setenv("XDG_STATE_HOME", path.c_str(), 1);
        }
    }
    ~PrivateStateFolder() {
        if (!path.empty() && ::getpid() == owner) {  // not in a forked child that exits
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
    std::string path;
    pid_t owner = ::getpid();
};
const PrivateStateFolder g_stateFolder;

}  // namespace

std::string SimBinary() {
    if (const char* path = std::getenv("ORDVANE_SIM"); path != nullptr && *path != '\0') {
        return path;
    }
    return ORDVANE_SIM_PATH;
}

SimProcess::SimProcess(std::vector<std::string> arguments, std::vector<std::string> launcher)
    : m_arguments(std::move(arguments)), m_launcher(std::move(launcher)) {
    if (!HasOption(m_arguments, "--address")) {
        m_arguments.insert(m_arguments.end(), {"--address", "127.0.0.1"});
    }
    if (!HasOption(m_arguments, "--port")) {
        m_arguments.insert(m_arguments.end(), {"--port", "0"});
    }
    if (!HasOption(m_arguments, "--jitter-ms")) {
        m_arguments.insert(m_arguments.end(), {"--jitter-ms", "0"});
    }
    // Everything the child needs is prepared before fork: after it, only exec.
    std::string binary = SimBinary();
    std::vector<char*> argv;
    for (std::string& word : m_launcher) {
        argv.push_back(word.data());
    }
    argv.push_back(binary.data());
    for (std::string& argument : m_arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        m_ended = true;
        return;
    }
    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) {
            _exit(127);
        }
        dup2(pipeEnds[1], STDOUT_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    if (m_pid < 0) {
        close(pipeEnds[0]);
        m_ended = true;
        return;
    }
    m_reader = std::thread([this, descriptor = pipeEnds[0]] { ReadOutput(descriptor); });
}

SimProcess::~SimProcess() {
    Stop();
    if (m_reader.joinable()) {
        m_reader.join();
    }
}

void SimProcess::ReadOutput(int descriptor) {
    std::string pending;
    char buffer[4096];
    for (;;) {
        const ssize_t length = read(descriptor, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR) {
            continue;
        }
        if (length <= 0) {
            break;
        }
        pending.append(buffer, static_cast<std::size_t>(length));
        std::size_t newline = 0;
        while ((newline = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, newline);
            pending.erase(0, newline + 1);
            MutexLock lock(m_mutex);
            if (!m_ready && line.rfind(kReadyPrefix, 0) == 0) {
                m_port = static_cast<std::uint16_t>(
                    SaturatingAtoi(std::string_view(line).substr(kReadyPrefix.size())));
                m_ready = true;
            } else {
                m_lines.push_back(std::move(line));
            }
            m_changed.NotifyAll();
        }
    }
    close(descriptor);
    MutexLock lock(m_mutex);
    m_ended = true;
    m_changed.NotifyAll();
}

bool SimProcess::WaitReady(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    MutexLock lock(m_mutex);
    while (!m_ready && !m_ended && m_changed.WaitUntil(m_mutex, deadline)) {
    }
    return m_ready;
}

std::uint16_t SimProcess::Port() const {
    MutexLock lock(m_mutex);
    return m_port;
}

std::string SimProcess::Target() const {
    return "127.0.0.1:" + std::to_string(Port());
}

std::vector<std::string> SimProcess::Lines() const {
    MutexLock lock(m_mutex);
    return m_lines;
}

std::vector<std::string> SimProcess::LinesStartingWith(std::string_view prefix) const {
    std::vector<std::string> matching;
    for (std::string& line : Lines()) {
        if (line.rfind(prefix, 0) == 0) {
            matching.push_back(std::move(line));
        }
    }
    return matching;
}

bool SimProcess::WaitForLines(std::string_view prefix, std::size_t count,
                              std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const auto enough = [&](const std::vector<std::string>& lines) {
        const auto matching = std::count_if(lines.begin(), lines.end(), [&](const auto& line) {
            return line.rfind(prefix, 0) == 0;
        });
        return static_cast<std::size_t>(matching) >= count;
    };
    MutexLock lock(m_mutex);
    while (!enough(m_lines)) {
        if (!m_changed.WaitUntil(m_mutex, deadline)) {
            return enough(m_lines);
        }
    }
    return true;
}

bool SimProcess::Stop() {
    if (m_pid <= 0) {
        MutexLock lock(m_mutex);
        return m_ended;
    }
    kill(m_pid, SIGTERM);
    int status = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    return false;
}

std::string SimProcess::Describe() const {
    std::string text;
    for (const std::string& word : m_launcher) {
        text += word + " ";
    }
    text += SimBinary();
    for (const std::string& argument : m_arguments) {
        text += " " + argument;
    }
    text += "\n";
    for (const std::string& line : Lines()) {
        text += "  | " + line + "\n";
    }
    return text;
}

void PointLibraryAt(std::uint16_t port) {
    const std::string target = "127.0.0.1:" + std::to_string(port);
    setenv("ZEVA_TARGETS", target.c_str(), 1);
    setenv("ZEVA_INTERFACES", "none", 1);
}

void PointLibraryAt(const SimProcess& sim) {
    PointLibraryAt(sim.Port());
}

}  // namespace ordvane::testing
