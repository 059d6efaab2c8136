#include "network/CardReadBack.h"

#include "network/NetshCommands.h"
#include "network/TcpipSettings.h"

#include <algorithm>
#include <optional>
#include <tuple>

namespace flipset {

namespace {

constexpr const char* kNone = "none";

std::vector<Ipv4WithMask> Sorted(std::vector<Ipv4WithMask> addresses)
{
    std::sort(addresses.begin(), addresses.end(), [](const Ipv4WithMask& a, const Ipv4WithMask& b) {
        return std::tie(a.address, a.mask) < std::tie(b.address, b.mask);
    });
    return addresses;
}

bool SameAddresses(const std::vector<Ipv4WithMask>& a, const std::vector<Ipv4WithMask>& b)
{
    const std::vector<Ipv4WithMask> x = Sorted(a);
    const std::vector<Ipv4WithMask> y = Sorted(b);
    return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                      [](const Ipv4WithMask& p, const Ipv4WithMask& q) {
                          return p.address == q.address && p.mask == q.mask;
                      });
}

std::string GatewaysText(const std::vector<uint32_t>& gateways)
{
    std::vector<std::string> texts;
    for (uint32_t gateway : gateways)
        texts.push_back(DottedAddress(gateway));
    return JoinTexts(texts);
}

// Windows lists these site-local servers on an IPv6 interface that has no
// DNS server of its own; they are no value anybody set.
bool IsDefaultIpv6DnsServer(const IpAddress& server)
{
    static const std::optional<IpAddress> kDefaults[] = {ParseIpAddress("fec0:0:0:ffff::1"),
                                                         ParseIpAddress("fec0:0:0:ffff::2"),
                                                         ParseIpAddress("fec0:0:0:ffff::3")};
    return std::any_of(std::begin(kDefaults), std::end(kDefaults),
                       [&](const std::optional<IpAddress>& d) { return d && *d == server; });
}

bool SameServers(const std::vector<IpAddress>& a, const std::vector<IpAddress>& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

std::string ServersText(const std::vector<IpAddress>& servers)
{
    std::vector<std::string> texts;
    for (const IpAddress& server : servers)
        texts.push_back(FormatIpAddress(server));
    return JoinTexts(texts);
}

void CompareDns(const CardTcpip& wanted, const AdapterSnapshot& found,
                std::vector<ValueNotTaken>& notTaken)
{
    if (wanted.dnsFromDhcp)
        return;
    // An entry that is no address can never show, so it is named as wanted.
    bool unreadable = false;
    for (const std::string& text : wanted.dnsServers)
        unreadable = unreadable || !ParseIpAddress(text);
    const bool ipv4Same = SameServers(DnsServersOf(wanted, false), AdapterDnsServers(found, false));
    const bool ipv6Same = SameServers(DnsServersOf(wanted, true), AdapterDnsServers(found, true));
    if (unreadable || !ipv4Same || !ipv6Same) {
        std::vector<IpAddress> shown = AdapterDnsServers(found, false);
        const std::vector<IpAddress> shownIpv6 = AdapterDnsServers(found, true);
        shown.insert(shown.end(), shownIpv6.begin(), shownIpv6.end());
        std::vector<std::string> wantedTexts;
        for (const std::string& text : wanted.dnsServers) {
            const std::optional<IpAddress> server = ParseIpAddress(text);
            wantedTexts.push_back(server ? FormatIpAddress(*server) : text);
        }
        notTaken.push_back({"DNS servers", JoinTexts(wantedTexts), ServersText(shown)});
    }
}

}  // namespace

std::string JoinTexts(const std::vector<std::string>& texts)
{
    if (texts.empty())
        return kNone;
    std::string joined;
    for (const std::string& text : texts) {
        if (!joined.empty())
            joined += ", ";
        joined += text;
    }
    return joined;
}

std::string AddressesText(const std::vector<Ipv4WithMask>& addresses)
{
    std::vector<std::string> texts;
    for (const Ipv4WithMask& address : addresses)
        texts.push_back(DottedAddress(address.address) + "/" + DottedAddress(address.mask));
    return JoinTexts(texts);
}

std::vector<IpAddress> AdapterDnsServers(const AdapterSnapshot& adapter, bool ipv6)
{
    std::vector<IpAddress> family;
    for (const IpAddress& server : adapter.dnsServers) {
        if (server.v6 == ipv6 && !(ipv6 && IsDefaultIpv6DnsServer(server)))
            family.push_back(server);
    }
    return family;
}

std::vector<ValueNotTaken> CompareCardWithAdapter(const CardTcpip& wanted,
                                                  const AdapterSnapshot& found)
{
    std::vector<ValueNotTaken> notTaken;
    if (wanted.dhcp != found.dhcp) {
        notTaken.push_back({"DHCP", wanted.dhcp ? "on" : "off", found.dhcp ? "on" : "off"});
    }
    if (!wanted.dhcp) {
        if (!SameAddresses(wanted.addresses, found.addresses)) {
            notTaken.push_back(
                {"addresses", AddressesText(wanted.addresses), AddressesText(found.addresses)});
        }
        std::vector<uint32_t> wantedGateways;
        if (wanted.gateway != 0)
            wantedGateways.push_back(wanted.gateway);
        std::vector<uint32_t> foundGateways = found.gateways;
        std::sort(foundGateways.begin(), foundGateways.end());
        foundGateways.erase(std::unique(foundGateways.begin(), foundGateways.end()),
                            foundGateways.end());
        if (foundGateways != wantedGateways) {
            notTaken.push_back(
                {"gateway", GatewaysText(wantedGateways), GatewaysText(found.gateways)});
        }
    }
    CompareDns(wanted, found, notTaken);
    return notTaken;
}

std::vector<ValueNotTaken> ReadBackCard(InterfaceConfigurator& system, const std::string& guid,
                                        const CardTcpip& wanted,
                                        const std::function<void(uint32_t)>& wait,
                                        uint32_t deadline)
{
    // The time is counted in the waits themselves, so the loop ends after a
    // bounded number of reads whatever a read costs.
    uint32_t waited = 0;
    for (;;) {
        const std::vector<AdapterSnapshot> adapters = system.ListAdapters();
        const AdapterSnapshot* adapter = FindAdapterByGuid(adapters, guid);
        std::vector<ValueNotTaken> notTaken;
        if (adapter)
            notTaken = CompareCardWithAdapter(wanted, *adapter);
        else
            notTaken.push_back({"adapter", guid, "not listed"});
        if (notTaken.empty() || waited >= deadline)
            return notTaken;
        const uint32_t step = std::min(kReadBackInterval, deadline - waited);
        wait(step);
        waited += step;
    }
}

std::string NotTakenMessage(const std::string& description, const ValueNotTaken& notTaken)
{
    return description + ": " + notTaken.value + " did not take: " + notTaken.wanted + " -> " +
           notTaken.found;
}

}  // namespace flipset
