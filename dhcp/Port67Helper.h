#pragma once
// Port 67 for a process that may not bind it: the port-67 helper program
// (ordvane-port67-helper, the only program given CAP_NET_BIND_SERVICE) opens the server
// socket exactly as OpenDhcpServerSocket does and hands it over a socket pair.
//
// The helper is found at <directory of this program>/../libexec/ordvane/ordvane-port67-helper,
// in the build tree as in an install; no environment variable is consulted.

#include <string>

#include "dhcp/DhcpServerSocket.h"
#include "platform/Result.h"

namespace ordvane {

// What the helper writes on the socket pair, with the socket as SCM_RIGHTS on success.
struct Port67HelperReport {
    std::int32_t failedStep = 0;  // a DhcpSocketStep
    std::int32_t error = 0;
};

inline constexpr int kPort67HelperChannel = 3;  // the helper's end of the socket pair
inline constexpr const char* kPort67HelperName = "ordvane-port67-helper";

// Why a user outside the group ordvane cannot open the port, with %1 for the user's name (the
// window shows it translated), and the text as the command line prints it.
inline constexpr const char* kNotInGroupAdvice =
    "only members of the group ordvane may open port 67; ask an administrator to run \"sudo "
    "adduser %1 ordvane\", then log out and in again";
std::string Port67UserName();
std::string NotInGroupAdvice();

// Runs the helper and returns the socket it opened, or why there is none.
Result<int> ObtainDhcpSocketFromHelper();

}  // namespace ordvane
