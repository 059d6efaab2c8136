// What the card loop needs of the system where a card's TCP/IP values are
// set on the live adapter (Windows 10 and later): the adapters as the system
// lists them now, netsh, and the DNS settings call.
#pragma once

#include "network/CardTcpip.h"
#include "network/IpAddressText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace flipset {

// One network adapter as the system lists it now: what the card loop reads
// back and what the location conditions look at.
struct AdapterSnapshot {
    std::string guid;             // "{...}": the adapter's name, a card's "ServiceName"
    std::string name;             // the name the user sees ("Ethernet"; under Wine the Linux one)
    uint32_t interfaceIndex = 0;  // IPv4 interface index: what netsh takes as name=
    uint32_t ipv6InterfaceIndex = 0;
    uint64_t luid = 0;
    bool dhcp = false;
    bool connected = false;  // operational status up
    std::vector<Ipv4WithMask> addresses;
    std::vector<uint32_t> gateways;  // IPv4, first octet most significant
    std::vector<IpAddress> dnsServers;
    std::string dnsSuffix;
    // The IPv4 interface metric, added to a route's own metric to rank the
    // default routes as the system does.
    uint32_t ipv4Metric = 0;
};

// The adapter whose GUID is the given one, ignoring case; null when absent.
const AdapterSnapshot* FindAdapterByGuid(const std::vector<AdapterSnapshot>& adapters,
                                         const std::string& guid);

// 24 gives 255.255.255.0; anything above 32 counts as 32.
uint32_t MaskFromPrefixLength(unsigned prefixLength);

// What one netsh run left: whether it started and ended within its time,
// and its output. Its exit code tells nothing: netsh returns 0 for commands
// it did not carry out, and the read-back decides.
struct NetshRun {
    bool started = false;
    bool ended = false;
    std::string output;
};

// One SetInterfaceDnsSettings call: the name servers of one address family
// (empty: back to the servers DHCP gives), and for IPv4 the suffix.
struct InterfaceDnsRequest {
    bool ipv6 = false;
    std::string nameServers;  // comma-separated
    bool setDomain = false;
    std::string domain;
    bool operator==(const InterfaceDnsRequest& other) const
    {
        return ipv6 == other.ipv6 && nameServers == other.nameServers &&
               setDomain == other.setDomain && domain == other.domain;
    }
};

enum class DnsCallResult {
    Done,
    Unavailable,  // the system has no such call (before Windows 10 2004, or Wine)
    Failed,
};

class InterfaceConfigurator {
public:
    InterfaceConfigurator() = default;
    InterfaceConfigurator(const InterfaceConfigurator&) = delete;
    InterfaceConfigurator& operator=(const InterfaceConfigurator&) = delete;
    virtual ~InterfaceConfigurator() = default;

    // Every adapter the system lists now, with its gateways.
    virtual std::vector<AdapterSnapshot> ListAdapters() = 0;
    // netsh from the system folder with the arguments, hidden, its output
    // captured, never waited on without end.
    virtual NetshRun RunNetsh(const std::string& arguments) = 0;
    // SetInterfaceDnsSettings for the adapter with the GUID, when the system
    // has it; *error holds the system's code after Failed.
    virtual DnsCallResult SetInterfaceDns(const std::string& guid,
                                          const InterfaceDnsRequest& request, uint32_t* error) = 0;
};

}  // namespace flipset
