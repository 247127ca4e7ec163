#pragma once
// The exit statuses of ordvane-cli, the same for every command so that scripts can tell a usage
// mistake from a failure. docs/cli.md and the man page list them.

namespace ordvane::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;          // the command ran but did not succeed
inline constexpr int kExitUsage = 2;            // bad command line or input refused before sending
inline constexpr int kExitInvalidPassword = 3;  // configure: the module refused the password
inline constexpr int kExitTimeout = 4;          // configure: no outcome before the deadline
inline constexpr int kExitChanged = 5;          // scan --baseline: the modules changed

}  // namespace ordvane::cli
