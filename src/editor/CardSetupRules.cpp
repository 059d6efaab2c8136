#include "editor/CardSetupRules.h"

#include "base/Text.h"
#include "network/IpAddressText.h"
#include "store/ConfigurationStore.h"

#include <utility>

namespace flipset {

std::string CardSettingsKeyPath(int configurationNumber, const std::string& cardNumber)
{
    return ConfigurationKeyPath(configurationNumber) + "\\" + cardNumber;
}

std::optional<std::string> InitialCardDescription(const std::vector<NetworkCard>& cards,
                                                  const std::string& initialCardNumber)
{
    for (const NetworkCard& card : cards) {
        if (EqualsNoCase(card.number, initialCardNumber))
            return card.description;
    }
    return std::nullopt;
}

CardChoice ChooseCardByDescription(const std::vector<NetworkCard>& cards,
                                   const std::string& entryText,
                                   const std::string& initialCardNumber)
{
    CardChoice choice{initialCardNumber, std::string()};
    for (const NetworkCard& card : cards) {
        if (EqualsNoCase(card.description, entryText))
            choice = {card.number, entryText};
    }
    return choice;
}

CardSetupEnabling CardSetupEnablingRule(bool disableChecked, bool automaticChecked,
                                        bool dnsFromDhcpChecked)
{
    CardSetupEnabling enabling;
    enabling.automatic = !disableChecked;
    enabling.domain = !disableChecked;
    enabling.addresses = !disableChecked && !automaticChecked;
    enabling.dnsFromDhcp = !disableChecked;
    enabling.servers = !disableChecked && !dnsFromDhcpChecked;
    return enabling;
}

namespace {

constexpr const char* kLineEnd = "\r\n";

// The lines of an edit's text, numbered as the edit shows them, each
// trimmed; blank ones are left out.
std::vector<std::pair<size_t, std::string>> NumberedLines(const std::string& text)
{
    std::vector<std::pair<size_t, std::string>> lines;
    size_t number = 1;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        const std::string line = Trim(text.substr(start, end - start));
        if (!line.empty())
            lines.emplace_back(number, line);
        if (end == std::string::npos)
            return lines;
        start = end + 1;
        ++number;
    }
}

}  // namespace

CardSetupLists ListsForCardSetup(const CardTcpip& tcpip)
{
    CardSetupLists lists;
    StringList addresses;
    for (size_t i = 1; i < tcpip.addresses.size(); ++i)
        addresses.push_back(AddressWithMaskText(tcpip.addresses[i]));
    lists.moreAddresses = JoinText(addresses, '\n');
    std::vector<std::string> servers = tcpip.dnsServers;
    if (!servers.empty()) {
        if (const std::optional<uint32_t> first = ParseIpv4Number(servers.front())) {
            lists.firstServer = *first;
            servers.erase(servers.begin());
        }
    }
    lists.moreServers = JoinText(servers, '\n');
    // An edit control shows a line end only as CR LF.
    for (std::string* text : {&lists.moreAddresses, &lists.moreServers}) {
        std::string withCr;
        for (char c : *text)
            withCr += c == '\n' ? std::string(kLineEnd) : std::string(1, c);
        *text = withCr;
    }
    return lists;
}

CardSetupProblem TakeCardSetupLists(const Ipv4WithMask& firstAddress, uint32_t firstServer,
                                    const std::string& moreAddresses,
                                    const std::string& moreServers, CardTcpip& tcpip)
{
    using Kind = CardSetupProblem::Kind;
    std::vector<Ipv4WithMask> addresses;
    if (firstAddress.address != 0 || firstAddress.mask != 0)
        addresses.push_back(firstAddress);
    for (const auto& [number, line] : NumberedLines(moreAddresses)) {
        Ipv4WithMask address;
        std::string reason = ParseAddressWithMask(line, address)
                                 ? AddressWithMaskProblem(address)
                                 : "\"" + line + "\" is no address with its mask";
        if (!reason.empty())
            return {Kind::AddressLine, number, reason};
        addresses.push_back(address);
    }
    std::vector<std::string> servers;
    if (firstServer != 0)
        servers.push_back(FormatIpAddress(Ipv4Address(firstServer)));
    for (const auto& [number, line] : NumberedLines(moreServers)) {
        const std::string reason = DnsServerProblem(line);
        if (!reason.empty())
            return {Kind::ServerLine, number, reason};
        servers.push_back(FormatIpAddress(*ParseIpAddress(line)));
    }
    if (servers.size() > kMaxDnsServers)
        return {Kind::TooManyServers, 0, std::to_string(servers.size())};
    tcpip.addresses = std::move(addresses);
    tcpip.dnsServers = std::move(servers);
    return {};
}

}  // namespace flipset
