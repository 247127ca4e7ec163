#pragma once
// The Advanced Options command: shows the Advanced Settings dialog with the recovery server's
// current state and switches the server to what the dialog says. The main window's handler is
// one line:
//
//     void CScanDlg::OnAdvancedOptions() { RunAdvancedOptions(m_dhcpServer); }
//
// Cancel changes nothing (the dialog's value stays the current state). Switching on when the
// server cannot open its socket shows "DHCP server init failed" with the operating system's
// reason below it; the server then stays off, so the next opening shows the box clear and OK
// with the box checked tries again. While the server runs, the main window's caption says so
// (ShowDhcpServerState), as the server answers on the plant's network until switched off.

#include <string>

#include "dhcp/CRecoveryDhcpServer.h"
#include "ui/AdvancedSettingsDlg.h"

namespace ordvane {

inline constexpr const char* kDhcpServerInitFailedMessage = "DHCP server init failed";
inline constexpr const char* kDhcpServerRunningMark = " - recovery DHCP server on";

// Adds the running mark to the window's caption, or takes it away.
void ShowDhcpServerState(CWnd& window, bool running);

// Shows the refusal as a plain OK box with the application's name as caption.
void ShowDhcpServerInitFailed(const std::string& reason);
// The server's reason for not starting as the window shows it: the advice to join the group in
// the user's language, the operating system's words as they are.
std::string DhcpServerReasonText(const std::string& reason);

// The warnings the server's link notices give, in the dialog and in the main window's box.
std::string OtherDhcpServerWarning(const CDhcpServer::Address& otherServer, int interfaceIndex);
std::string CardWithoutAddressWarning(int interfaceIndex);

// What the server has done, as the dialog shows it: the number of leases and the last module
// given one, another DHCP server found on a link, a lease sent out of a card without an IPv4
// address. Empty while the server is off.
std::string DescribeDhcpServerActivity(bool running, const CDhcpServer::Activity& activity);

// Shows the dialog with the server's state and switches the server to its answer.
void RunAdvancedOptions(CRecoveryDhcpServer& server);

}  // namespace ordvane
