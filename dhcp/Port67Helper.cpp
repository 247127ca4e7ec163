#include "dhcp/Port67Helper.h"

#include <pwd.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <system_error>

namespace ordvane {

namespace {

std::string HelperPath() {
    char self[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        return {};
    }
    std::string path(self, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    path.resize(slash);
    return path + "/../libexec/ordvane/" + kPort67HelperName;
}

}  // namespace

// The helper is root:ordvane, mode 0750: a user outside the group may not run it.
std::string Port67UserName() {
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_name != nullptr ? user->pw_name : "USER";
}

std::string NotInGroupAdvice() {
    std::string advice = kNotInGroupAdvice;
    advice.replace(advice.find("%1"), 2, Port67UserName());
    return advice;
}

namespace {

std::string ErrorText(int error) {
    return std::generic_category().message(error);
}

// Reads the helper's report and the socket it carries; -1 when none came.
int ReceiveSocket(int channel, Port67HelperReport& report) {
    iovec data{&report, sizeof report};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t received = recvmsg(channel, &message, MSG_CMSG_CLOEXEC);
    if (received != static_cast<ssize_t>(sizeof report)) {
        report = {static_cast<std::int32_t>(DhcpSocketStep::kNone), EPROTO};
        return -1;
    }
    int descriptor = -1;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_RIGHTS &&
            header->cmsg_len == CMSG_LEN(sizeof(int))) {
            std::memcpy(&descriptor, CMSG_DATA(header), sizeof descriptor);
        }
    }
    return descriptor;
}

}  // namespace

Result<int> ObtainDhcpSocketFromHelper() {
    const std::string path = HelperPath();
    if (path.empty() || access(path.c_str(), X_OK) != 0) {
        return Failure{!path.empty() && errno == EACCES ? NotInGroupAdvice()
                                                        : "no port-67 helper at " + path};
    }
    int pair[2] = {-1, -1};
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        return Failure{"port-67 helper: socket pair: " + ErrorText(errno)};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 clears close-on-exec on the copy, so only this end reaches the helper.
    posix_spawn_file_actions_adddup2(&actions, pair[1], kPort67HelperChannel);
    char* const arguments[] = {const_cast<char*>(kPort67HelperName), nullptr};
    char* const noEnvironment[] = {nullptr};
    pid_t helper = -1;
    const int spawnError =
        posix_spawn(&helper, path.c_str(), &actions, nullptr, arguments, noEnvironment);
    posix_spawn_file_actions_destroy(&actions);
    close(pair[1]);
    if (spawnError != 0) {
        close(pair[0]);
        return Failure{"port-67 helper: " + ErrorText(spawnError)};
    }
    Port67HelperReport report;
    const int descriptor = ReceiveSocket(pair[0], report);
    close(pair[0]);
    int status = 0;
    while (waitpid(helper, &status, 0) < 0 && errno == EINTR) {
    }
    if (descriptor < 0) {
        return Failure{std::string("port-67 helper: ") +
                       DescribeDhcpSocketStep(static_cast<DhcpSocketStep>(report.failedStep)) +
                       ": " + ErrorText(report.error)};
    }
    return descriptor;
}

}  // namespace ordvane
