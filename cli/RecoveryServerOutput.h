#pragma once
// What ordvane-cli recovery-server and recover print about the recovery DHCP server: the line
// once it listens, one line per reply with the interface it left by, and the notices the server
// raises once per link. Replies and notices are printed on the server's worker thread without
// allocating.

#include <span>
#include <string>

#include "dhcp/CDhcpServer.h"
#include "platform/AddressText.h"

namespace ordvane::cli {

// "Listening on UDP port 67 on eth1, wlan0; answering MAC addresses 0A-51-4D-xx-xx-xx", or
// "...; answering 0A-51-4D-00-00-2A only" with a list of MACs to answer.
void PrintListening(std::span<const MacAddress> onlyMacs);

// "DHCPACK 10.200.1.42 to 0A-51-4D-00-00-2A on eth1", or for a NAK
// "DHCPNAK to 0A-51-4D-00-00-2A on eth1 (its address is 10.200.1.42)"
void PrintReply(const CDhcpServer::ReplyReport& reply);

// A DHCP server of the plant's on the link (and how to answer only the modules to recover), or
// a lease that went out of a card without an IPv4 address (and how to give it one).
void PrintNotice(const CDhcpServer::LinkNotice& notice);

// Parses "MAC[,MAC...]" as --only takes it; each must carry the maker's OUI. False with the
// reason in error, worded to follow the option's name.
[[nodiscard]] bool ParseOnlyMacs(const std::string& text, std::vector<MacAddress>& macs,
                                 std::string& error);

}  // namespace ordvane::cli
