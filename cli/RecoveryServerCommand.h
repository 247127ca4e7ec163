#pragma once
// ordvane-cli recovery-server: the window's recovery DHCP server in the foreground.

#include <span>
#include <string>

namespace ordvane::cli {

int RunRecoveryServer(std::span<const std::string> arguments);

}  // namespace ordvane::cli
