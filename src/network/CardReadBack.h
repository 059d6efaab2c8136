// Whether a card's TCP/IP values took: the adapter read back and compared
// with what the card asked for, value by value, each difference as
// "wanted -> found".
#pragma once

#include "network/CardTcpip.h"
#include "network/InterfaceConfigurator.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace flipset {

// How long a card's values may take to show on its adapter, and how often
// the adapter is read meanwhile, in milliseconds.
constexpr uint32_t kReadBackDeadline = 10000;
constexpr uint32_t kReadBackInterval = 500;

// One value that the adapter does not show as the card wanted it.
struct ValueNotTaken {
    std::string value;  // "DHCP", "addresses", "gateway", "DNS servers", "adapter"
    std::string wanted;
    std::string found;
    bool operator==(const ValueNotTaken& other) const
    {
        return value == other.value && wanted == other.wanted && found == other.found;
    }
};

// The texts separated by ", "; "none" for none.
std::string JoinTexts(const std::vector<std::string>& texts);

// "a.b.c.d/m.m.m.m" for each address, as JoinTexts joins them.
std::string AddressesText(const std::vector<Ipv4WithMask>& addresses);

// The adapter's name servers of one family, in its order, without the
// site-local IPv6 servers Windows lists on an interface that has none of
// its own (no value anybody set).
std::vector<IpAddress> AdapterDnsServers(const AdapterSnapshot& adapter, bool ipv6);

// The card's values that the adapter does not show. A DHCP card is judged by
// the DHCP flag (its addresses and gateway are the DHCP server's); DNS
// servers are compared, each family in order, unless they come from DHCP;
// the suffix is not compared (the adapter may show one that DHCP gave).
std::vector<ValueNotTaken> CompareCardWithAdapter(const CardTcpip& wanted,
                                                  const AdapterSnapshot& found);

// Reads the adapter with the GUID back until it shows the card's values or
// the deadline has passed, waiting the interval between reads through wait
// (which the caller keeps responsive); returns what had not taken by then.
std::vector<ValueNotTaken> ReadBackCard(InterfaceConfigurator& system, const std::string& guid,
                                        const CardTcpip& wanted,
                                        const std::function<void(uint32_t)>& wait,
                                        uint32_t deadline = kReadBackDeadline);

// "<description>: <value> did not take: <wanted> -> <found>"
std::string NotTakenMessage(const std::string& description, const ValueNotTaken& notTaken);

}  // namespace flipset
