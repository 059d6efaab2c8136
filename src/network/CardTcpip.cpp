#include "network/CardTcpip.h"

#include "network/IpAddressText.h"
#include "store/ConfigurationSchema.h"

#include <optional>
#include <utility>

namespace flipset {

bool operator==(const Ipv4WithMask& a, const Ipv4WithMask& b)
{
    return a.address == b.address && a.mask == b.mask;
}

bool operator==(const CardTcpip& a, const CardTcpip& b)
{
    return a.dhcp == b.dhcp && a.addresses == b.addresses && a.gateway == b.gateway &&
           a.dnsFromDhcp == b.dnsFromDhcp && a.dnsServers == b.dnsServers && a.suffix == b.suffix &&
           a.adapterGuid == b.adapterGuid;
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

KeyValueWrite Written(const char* name, RegistryValue value)
{
    return KeyValueWrite{name, false, std::move(value)};
}

KeyValueWrite Removed(const char* name)
{
    return KeyValueWrite{name, true, RegistryValue()};
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

std::vector<KeyValueWrite> CardTcpipWrites(const CardTcpip& tcpip)
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
    std::vector<KeyValueWrite> writes;
    writes.push_back(Written(CardValue::kDhcp, RegistryValue::Dword(tcpip.dhcp ? 1 : 0)));
    writes.push_back(Written(CardValue::kIp, RegistryValue::Dword(first.address)));
    writes.push_back(Written(CardValue::kNetmask, RegistryValue::Dword(first.mask)));
    writes.push_back(more.empty()
                         ? Removed(CardValue::kMoreAddresses)
                         : Written(CardValue::kMoreAddresses, RegistryValue::MultiString(more)));
    writes.push_back(Written(CardValue::kGateway, RegistryValue::Dword(tcpip.gateway)));
    writes.push_back(Written(CardValue::kDns1, RegistryValue::Dword(dns1)));
    writes.push_back(
        listSaysMore ? Written(CardValue::kDnsServers, RegistryValue::MultiString(tcpip.dnsServers))
                     : Removed(CardValue::kDnsServers));
    writes.push_back(
        tcpip.dnsFromDhcp != tcpip.dhcp
            ? Written(CardValue::kDnsFromDhcp, RegistryValue::Dword(tcpip.dnsFromDhcp ? 1 : 0))
            : Removed(CardValue::kDnsFromDhcp));
    writes.push_back(Written(CardValue::kDomain, RegistryValue::String(tcpip.suffix)));
    if (!tcpip.adapterGuid.empty())
        writes.push_back(
            Written(CardValue::kAdapterGuid, RegistryValue::String(tcpip.adapterGuid)));
    return writes;
}

bool WriteCardTcpip(const COpenKey& card, const CardTcpip& tcpip)
{
    for (const KeyValueWrite& write : CardTcpipWrites(tcpip)) {
        RegistryValue stored;
        // Removing a value that is not there is no refusal.
        const bool done = write.remove
                              ? !card.ReadValue(write.name, stored) || card.DeleteValue(write.name)
                              : card.WriteValue(write.name, write.value);
        if (!done)
            return false;
    }
    return true;
}

std::string AddressWithMaskProblem(const Ipv4WithMask& address)
{
    if (address.address == 0)
        return "0.0.0.0 is no address";
    // The ones of a mask run from the top: below its lowest one, all zeros.
    const uint32_t hostBits = ~address.mask;
    if (address.mask == 0 || (hostBits & (hostBits + 1)) != 0)
        return Ipv4Text(address.mask) + " is no subnet mask";
    return std::string();
}

std::string DnsServerProblem(const std::string& text)
{
    const std::optional<IpAddress> address = ParseIpAddress(text);
    if (!address)
        return "\"" + text + "\" is no IPv4 or IPv6 address";
    if (*address == IpAddress{address->v6, {}})
        return FormatIpAddress(*address) + " is no name server";
    return std::string();
}

}  // namespace flipset
