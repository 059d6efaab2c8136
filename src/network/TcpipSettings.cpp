#include "network/TcpipSettings.h"

#include "base/Text.h"
#include "network/IpAddressText.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace flipset {

namespace {

constexpr RegistryRoot kInterfaceRoot = RegistryRoot::LocalMachine;
constexpr const char* kNoAddress = "0.0.0.0";

}  // namespace

std::string TcpipInterfaceKey(const std::string& serviceName)
{
    return std::string(kTcpipInterfacesKey) + "\\" + serviceName;
}

std::vector<std::string> ParseNameservers(std::string value)
{
    std::replace(value.begin(), value.end(), ',', ' ');
    std::vector<std::string> servers;
    size_t start = 0;
    while (servers.size() < kMaxDnsServers && start < value.size()) {
        size_t end = value.find(' ', start);
        if (end == std::string::npos)
            end = value.size();
        const std::string text = value.substr(start, end - start);
        if (!text.empty() && DnsServerProblem(text).empty())
            servers.push_back(FormatIpAddress(*ParseIpAddress(text)));
        start = end + 1;
    }
    return servers;
}

std::string DottedAddress(uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

namespace {

TcpipWrite Write(const char* name, RegistryValue value)
{
    return TcpipWrite{name, false, std::move(value)};
}

// The IPv4 servers as "NameServer" takes them: separated by spaces, the form
// the registry's documentation of this generation gives (its own properties
// dialog writes commas; the resolver reads both). IPv6 servers have no place
// in this value and are left out.
std::string NameServerText(const std::vector<std::string>& servers)
{
    StringList ipv4;
    for (const std::string& server : servers) {
        if (const std::optional<uint32_t> number = ParseIpv4Number(server))
            ipv4.push_back(DottedAddress(*number));
    }
    return JoinText(ipv4, ' ');
}

}  // namespace

std::vector<TcpipWrite> PlannedCardTcpip(const CardTcpip& tcpip)
{
    std::vector<TcpipWrite> writes;
    writes.push_back(Write(TcpipValue::kDomain, RegistryValue::String(tcpip.suffix)));
    const std::string servers = tcpip.dnsFromDhcp ? "" : NameServerText(tcpip.dnsServers);
    if (!tcpip.dhcp) {
        StringList addresses;
        StringList masks;
        for (const Ipv4WithMask& address : tcpip.addresses) {
            addresses.push_back(DottedAddress(address.address));
            masks.push_back(DottedAddress(address.mask));
        }
        if (addresses.empty()) {
            addresses.push_back(kNoAddress);
            masks.push_back(kNoAddress);
        }
        writes.push_back(Write(TcpipValue::kEnableDhcp, RegistryValue::Dword(0)));
        // Fixed addresses without an IPv4 server of their own have always
        // written "0.0.0.0". DNS from DHCP leaves the value empty: the
        // interface then has only the servers of a lease, which fixed
        // addresses never get on this generation.
        writes.push_back(Write(
            TcpipValue::kNameserver,
            RegistryValue::String(servers.empty() && !tcpip.dnsFromDhcp ? kNoAddress : servers)));
        writes.push_back(Write(TcpipValue::kDefaultGateway,
                               RegistryValue::MultiString({DottedAddress(tcpip.gateway)})));
        writes.push_back(Write(TcpipValue::kIpAddress, RegistryValue::MultiString(addresses)));
        writes.push_back(Write(TcpipValue::kSubnetMask, RegistryValue::MultiString(masks)));
    } else {
        writes.push_back(Write(TcpipValue::kEnableDhcp, RegistryValue::Dword(1)));
        // Servers of its own override those of the lease.
        writes.push_back(Write(TcpipValue::kNameserver, RegistryValue::String(servers)));
        // Automatic configuration has no fixed gateway.
        writes.push_back(TcpipWrite{TcpipValue::kDefaultGateway, true, RegistryValue()});
        writes.push_back(Write(TcpipValue::kIpAddress, RegistryValue::MultiString({kNoAddress})));
        writes.push_back(Write(TcpipValue::kSubnetMask, RegistryValue::MultiString({kNoAddress})));
    }
    return writes;
}

std::vector<TcpipWrite> PlannedCardTcpip(const COpenKey& card)
{
    return PlannedCardTcpip(ReadCardTcpip(card));
}

void ApplyCardTcpip(CRegistry registry, RegistryRoot configurationRoot,
                    const std::string& cardSettingsKey, const std::string& interfaceKey)
{
    const std::vector<TcpipWrite> writes =
        PlannedCardTcpip(registry.OpenForReading(cardSettingsKey, configurationRoot));
    const COpenKey key = registry.OpenForWriting(interfaceKey, kInterfaceRoot);
    for (const TcpipWrite& write : writes) {
        if (write.remove)
            (void)key.DeleteValue(write.name);
        else
            (void)key.WriteValue(write.name, write.value);
    }
}

}  // namespace flipset
