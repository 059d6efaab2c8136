#include "network/NetshCommands.h"

#include "network/TcpipSettings.h"

namespace flipset {

namespace {

// The route of the card's gateway gets metric 0, so that its cost is the
// interface's own metric alone: the same as a gateway typed into the
// adapter's properties or given by DHCP, where the system's automatic
// interface metric (wired before wireless) decides between adapters. A
// fixed higher number would put the card's gateway behind every other
// adapter's default route.
constexpr const char* kGatewayMetric = "0";

std::string Ipv4Prefix(const char* verb, uint32_t index)
{
    return std::string("interface ipv4 ") + verb + " name=" + std::to_string(index);
}

void AppendFamilyDns(std::vector<std::string>& commands, const CardTcpip& card, bool ipv6,
                     uint32_t index)
{
    const std::string family = ipv6 ? "interface ipv6 " : "interface ipv4 ";
    const std::string name = " name=" + std::to_string(index);
    if (card.dnsFromDhcp) {
        commands.push_back(family + "set dnsservers" + name + " source=dhcp");
        return;
    }
    const std::vector<IpAddress> servers = DnsServersOf(card, ipv6);
    const std::string first = servers.empty() ? "none" : FormatIpAddress(servers[0]);
    commands.push_back(family + "set dnsservers" + name + " source=static address=" + first +
                       " register=primary validate=no");
    for (size_t i = 1; i < servers.size(); ++i) {
        commands.push_back(family + "add dnsservers" + name +
                           " address=" + FormatIpAddress(servers[i]) +
                           " index=" + std::to_string(i + 1) + " validate=no");
    }
}

std::string JoinAddresses(const std::vector<IpAddress>& servers)
{
    std::string joined;
    for (const IpAddress& server : servers) {
        if (!joined.empty())
            joined += ',';
        joined += FormatIpAddress(server);
    }
    return joined;
}

}  // namespace

bool HasAddressToSet(const CardTcpip& card)
{
    return card.dhcp || (!card.addresses.empty() && card.addresses[0].address != 0);
}

std::vector<std::string> NetshAddressCommands(const CardTcpip& card, uint32_t interfaceIndex)
{
    if (card.dhcp)
        return {Ipv4Prefix("set address", interfaceIndex) + " source=dhcp"};
    if (!HasAddressToSet(card))
        return {};
    const Ipv4WithMask& first = card.addresses[0];
    std::string set = Ipv4Prefix("set address", interfaceIndex) +
                      " source=static address=" + DottedAddress(first.address) +
                      " mask=" + DottedAddress(first.mask);
    if (card.gateway != 0)
        set += " gateway=" + DottedAddress(card.gateway) + " gwmetric=" + kGatewayMetric;
    else
        set += " gateway=none";
    std::vector<std::string> commands{set};
    for (size_t i = 1; i < card.addresses.size(); ++i) {
        commands.push_back(Ipv4Prefix("add address", interfaceIndex) +
                           " address=" + DottedAddress(card.addresses[i].address) +
                           " mask=" + DottedAddress(card.addresses[i].mask));
    }
    return commands;
}

std::vector<IpAddress> DnsServersOf(const CardTcpip& card, bool ipv6)
{
    std::vector<IpAddress> servers;
    for (const std::string& text : card.dnsServers) {
        const std::optional<IpAddress> server = ParseIpAddress(text);
        if (server && server->v6 == ipv6)
            servers.push_back(*server);
    }
    return servers;
}

std::vector<std::string> NetshDnsCommands(const CardTcpip& card, const AdapterSnapshot& adapter)
{
    std::vector<std::string> commands;
    AppendFamilyDns(commands, card, false, adapter.interfaceIndex);
    if (adapter.ipv6InterfaceIndex != 0)
        AppendFamilyDns(commands, card, true, adapter.ipv6InterfaceIndex);
    return commands;
}

std::vector<InterfaceDnsRequest> InterfaceDnsRequests(const CardTcpip& card)
{
    InterfaceDnsRequest ipv4;
    InterfaceDnsRequest ipv6;
    ipv6.ipv6 = true;
    if (!card.dnsFromDhcp) {
        ipv4.nameServers = JoinAddresses(DnsServersOf(card, false));
        ipv6.nameServers = JoinAddresses(DnsServersOf(card, true));
    }
    ipv4.setDomain = true;
    ipv4.domain = card.suffix;
    return {ipv4, ipv6};
}

}  // namespace flipset
