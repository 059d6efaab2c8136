// What a card's TCP/IP values become on a live adapter: netsh command lines
// (the arguments after "netsh") that name the interface by its index, never
// by its name (names are localised and renamed), and the DNS settings calls.
#pragma once

#include "network/CardTcpip.h"
#include "network/InterfaceConfigurator.h"

#include <cstdint>
#include <string>
#include <vector>

namespace flipset {

// Whether the card has what its addresses need: DHCP, or a first address
// that is not 0.0.0.0.
bool HasAddressToSet(const CardTcpip& card);

// The address commands for the IPv4 interface index: DHCP, or the first
// address with the gateway ("gateway=none" without one) and each further
// address added. Empty when the card has no address to set.
std::vector<std::string> NetshAddressCommands(const CardTcpip& card, uint32_t interfaceIndex);

// The DNS server commands, IPv4 then IPv6 on the adapter's interface index
// of each: from DHCP, or the family's servers in order (the first set, the
// others added at their place; "address=none" for a family without one).
// IPv6 is left out when the adapter has no IPv6 interface.
std::vector<std::string> NetshDnsCommands(const CardTcpip& card, const AdapterSnapshot& adapter);

// The card's DNS servers of one family, as the system writes them; an entry
// that is no address is left out.
std::vector<IpAddress> DnsServersOf(const CardTcpip& card, bool ipv6);

// The SetInterfaceDnsSettings calls for the card: IPv4 servers with the
// suffix, then IPv6 servers; empty server lists when DNS comes from DHCP.
std::vector<InterfaceDnsRequest> InterfaceDnsRequests(const CardTcpip& card);

}  // namespace flipset
