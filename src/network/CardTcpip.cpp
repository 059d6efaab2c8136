#include "network/CardTcpip.h"

#include "network/IpAddressText.h"
#include "store/ConfigurationSchema.h"

#include <algorithm>
#include <optional>

namespace flipset {

bool operator==(const Ipv4WithMask& a, const Ipv4WithMask& b)
{
    return a.address == b.address && a.mask == b.mask;
}

bool operator==(const CardTcpip& a, const CardTcpip& b)
{
    return a.dhcp == b.dhcp && a.addresses == b.addresses && a.gateway == b.gateway &&
           a.dnsFromDhcp == b.dnsFromDhcp && a.dnsServers == b.dnsServers &&
           a.suffix == b.suffix && a.adapterGuid == b.adapterGuid;
}

namespace {

constexpr uint32_t kDefaultDhcp = 1;
constexpr char kMaskSeparator = '/';

std::string Ipv4Text(uint32_t number)
{
    return FormatIpAddress(Ipv4Address(number));
}

// The first IPv4 server of the list, as a number; none when it holds none.
std::optional<size_t> FirstIpv4Server(const std::vector<std::string>& servers)
{
    for (size_t i = 0; i < servers.size(); ++i) {
        if (ParseIpv4Number(servers[i]))
            return i;
    }
    return std::nullopt;
}

std::vector<std::string> ReadServers(const COpenKey& card)
{
    StringList stored;
    card.ReadMultiString(CardValue::kDnsServers, stored);
    std::vector<std::string> servers;
    for (const std::string& text : stored) {
        if (const std::optional<IpAddress> address = ParseIpAddress(text))
            servers.push_back(FormatIpAddress(*address));
    }
    RegistryValue dns1Value;
    const bool hasDns1 = card.ReadValue(CardValue::kDns1, dns1Value);
    const uint32_t dns1 = card.ReadDword(CardValue::kDns1, 0);
    if (servers.empty()) {
        if (dns1 != 0)
            servers.push_back(Ipv4Text(dns1));
    } else if (hasDns1) {
        // "DNS1" is the first IPv4 server; one that differs was changed by
        // a program that knows nothing of the list, and it wins.
        const std::optional<size_t> first = FirstIpv4Server(servers);
        if (!first) {
            if (dns1 != 0)
                servers.insert(servers.begin(), Ipv4Text(dns1));
        } else if (dns1 == 0) {
            servers.erase(servers.begin() + static_cast<std::ptrdiff_t>(*first));
        } else {
            servers[*first] = Ipv4Text(dns1);
        }
    }
    if (servers.size() > kMaxDnsServers)
        servers.resize(kMaxDnsServers);
    return servers;
}

// An empty list removes the value; a missing value is no refusal.
bool WriteListOrRemove(const COpenKey& card, const char* name, const StringList& entries)
{
    if (!entries.empty())
        return card.WriteMultiString(name, entries);
    RegistryValue stored;
    return !card.ReadValue(name, stored) || card.DeleteValue(name);
}

bool WriteDwordOrRemove(const COpenKey& card, const char* name, bool write, uint32_t number)
{
    if (write)
        return card.WriteDword(name, number);
    RegistryValue stored;
    return !card.ReadValue(name, stored) || card.DeleteValue(name);
}

}  // namespace

std::string AddressWithMaskText(const Ipv4WithMask& address)
{
    return Ipv4Text(address.address) + kMaskSeparator + Ipv4Text(address.mask);
}

bool ParseAddressWithMask(const std::string& text, Ipv4WithMask& address)
{
    const size_t separator = text.find(kMaskSeparator);
    if (separator == std::string::npos)
        return false;
    const std::optional<uint32_t> number = ParseIpv4Number(text.substr(0, separator));
    const std::optional<uint32_t> mask = ParseIpv4Number(text.substr(separator + 1));
    if (!number || !mask)
        return false;
    address = {*number, *mask};
    return true;
}

CardTcpip ReadCardTcpip(const COpenKey& card)
{
    CardTcpip tcpip;
    tcpip.dhcp = card.ReadDword(CardValue::kDhcp, kDefaultDhcp) != 0;
    const Ipv4WithMask first{card.ReadDword(CardValue::kIp, 0),
                             card.ReadDword(CardValue::kNetmask, 0)};
    if (first.address != 0 || first.mask != 0)
        tcpip.addresses.push_back(first);
    StringList more;
    card.ReadMultiString(CardValue::kMoreAddresses, more);
    for (const std::string& text : more) {
        Ipv4WithMask address;
        if (ParseAddressWithMask(text, address))
            tcpip.addresses.push_back(address);
    }
    tcpip.gateway = card.ReadDword(CardValue::kGateway, 0);
    tcpip.dnsFromDhcp = card.ReadDword(CardValue::kDnsFromDhcp, tcpip.dhcp ? 1 : 0) != 0;
    tcpip.dnsServers = ReadServers(card);
    tcpip.suffix = card.ReadString(CardValue::kDomain, "");
    tcpip.adapterGuid = card.ReadString(CardValue::kAdapterGuid, "");
    return tcpip;
}

bool WriteCardTcpip(const COpenKey& card, const CardTcpip& tcpip)
{
    const Ipv4WithMask first = tcpip.addresses.empty() ? Ipv4WithMask() : tcpip.addresses.front();
    StringList more;
    for (size_t i = 1; i < tcpip.addresses.size(); ++i)
        more.push_back(AddressWithMaskText(tcpip.addresses[i]));
    const std::optional<size_t> firstIpv4 = FirstIpv4Server(tcpip.dnsServers);
    const uint32_t dns1 = firstIpv4 ? *ParseIpv4Number(tcpip.dnsServers[*firstIpv4]) : 0;
    // "DNS1" alone says as much as a list of that one server.
    const bool listSaysMore =
        !(tcpip.dnsServers.empty() || (tcpip.dnsServers.size() == 1 && firstIpv4));
    const StringList servers = listSaysMore ? tcpip.dnsServers : StringList();
    if (!card.WriteDword(CardValue::kDhcp, tcpip.dhcp ? 1 : 0) ||
        !card.WriteDword(CardValue::kIp, first.address) ||
        !card.WriteDword(CardValue::kNetmask, first.mask) ||
        !WriteListOrRemove(card, CardValue::kMoreAddresses, more) ||
        !card.WriteDword(CardValue::kGateway, tcpip.gateway) ||
        !card.WriteDword(CardValue::kDns1, dns1) ||
        !WriteListOrRemove(card, CardValue::kDnsServers, servers) ||
        !WriteDwordOrRemove(card, CardValue::kDnsFromDhcp, tcpip.dnsFromDhcp != tcpip.dhcp,
                            tcpip.dnsFromDhcp ? 1 : 0) ||
        !card.WriteString(CardValue::kDomain, tcpip.suffix))
        return false;
    return tcpip.adapterGuid.empty() ||
           card.WriteString(CardValue::kAdapterGuid, tcpip.adapterGuid);
}

}  // namespace flipset
