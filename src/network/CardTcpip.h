// The TCP/IP settings of one card in a configuration, as its card settings
// key holds them: automatic configuration or fixed IPv4 addresses with their
// masks, a gateway, name servers (IPv4 and IPv6) or DNS from DHCP, the DNS
// suffix, and the adapter the card stood for when it was stored.
//
// The key keeps the values that a single-address card always had ("IP",
// "Netmask", "Gateway", "DNS1", "DOMAIN") for the first address and the first
// IPv4 server, and adds the rest only when there is more to say: a card set
// up with one address and one server stores exactly what it always did.
#pragma once

#include "store/Registry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace flipset {

// Name servers a card holds at most.
constexpr size_t kMaxDnsServers = 8;

// First octet most significant, as "IP" and "Netmask" store them.
struct Ipv4WithMask {
    uint32_t address = 0;
    uint32_t mask = 0;
};

bool operator==(const Ipv4WithMask& a, const Ipv4WithMask& b);

struct CardTcpip {
    bool dhcp = true;                     // "DHCP" (missing: 1)
    std::vector<Ipv4WithMask> addresses;  // "IP"/"Netmask" first, then "MoreAddresses"
    uint32_t gateway = 0;                 // "Gateway"; 0: none
    bool dnsFromDhcp = true;              // "DNSFromDHCP"; missing: the same as dhcp
    std::vector<std::string> dnsServers;  // IPv4 and IPv6 texts in order, at most kMaxDnsServers
    std::string suffix;                   // "DOMAIN"
    std::string adapterGuid;              // "AdapterGUID"; empty when never stored
};

bool operator==(const CardTcpip& a, const CardTcpip& b);

// One value of a key as settings leave it: written with its type and bytes,
// or removed.
struct KeyValueWrite {
    const char* name;
    bool remove;
    RegistryValue value;
};

// "a.b.c.d/m.m.m.m", the form of an entry of "MoreAddresses", and back.
std::string AddressWithMaskText(const Ipv4WithMask& address);
bool ParseAddressWithMask(const std::string& text, Ipv4WithMask& address);

// Reads the card settings key; a missing value reads as its default, and a
// stored entry that is no address is passed over. The addresses are read
// whatever "DHCP" says: "IP"/"Netmask" is the first unless both are 0. The
// servers are "DNSServers" in order, with "DNS1" as its first IPv4 one:
// where "DNS1" disagrees with the list (a program that knows only "DNS1"
// changed it), "DNS1" takes that place, or is dropped from it when 0, or
// comes first when the list holds no IPv4 server. Without the list, "DNS1"
// alone, none when 0. Every server text is in its canonical form.
CardTcpip ReadCardTcpip(const COpenKey& cardSettings);

// The values of a card settings key for the settings, in their order: the
// single values always, "MoreAddresses", "DNSServers" and "DNSFromDHCP"
// only when they say more than the single values do (removed otherwise),
// "AdapterGUID" when known (left alone otherwise).
std::vector<KeyValueWrite> CardTcpipWrites(const CardTcpip& tcpip);

// Writes CardTcpipWrites into the card settings key. False as soon as the
// registry refuses a value; those before stay written.
bool WriteCardTcpip(const COpenKey& cardSettings, const CardTcpip& tcpip);

// Why the address with its mask cannot be one of a card's fixed addresses
// ("0.0.0.0 is no address", ...); empty when it can. The mask must be a run
// of ones from the top.
std::string AddressWithMaskProblem(const Ipv4WithMask& address);

// Why the text cannot be one of a card's name servers; empty when it can: an
// IPv4 or IPv6 address other than 0.0.0.0 and ::.
std::string DnsServerProblem(const std::string& text);

}  // namespace flipset
