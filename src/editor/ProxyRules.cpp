#include "editor/ProxyRules.h"

#include "base/Text.h"
#include "editor/ConfigurationLists.h"

#include <algorithm>
#include <cstddef>

namespace flipset {

namespace {

constexpr unsigned long kHighestPort = 65535;

bool IsDigits(const std::string& text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool HasSpaceOrControl(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= ' ' || byte == 0x7F;
    });
}

size_t CountOf(const std::string& text, char wanted)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), wanted));
}

// "[...]": an IPv6 address written for a port to follow.
bool IsBracketed(const std::string& host)
{
    return host.size() > 2 && host.front() == '[' && host.back() == ']';
}

// Where the host starts: after a "scheme://" in front of it, whose colon
// belongs to no port.
size_t HostStart(const std::string& server)
{
    const size_t scheme = server.find("://");
    return scheme == std::string::npos ? 0 : scheme + 3;
}

// The entries of a ";"-separated list, as written.
StringList SplitEntries(const std::string& list)
{
    StringList entries;
    size_t start = 0;
    for (;;) {
        const size_t end = list.find(';', start);
        entries.push_back(list.substr(start, end - start));
        if (end == std::string::npos)
            return entries;
        start = end + 1;
    }
}

bool IsLocalEntry(const std::string& entry)
{
    return EqualsNoCase(Trim(entry), kLocalBypassEntry);
}

ProxyInput Stored(std::string text)
{
    const ProxyInputProblem problem =
        FitsTextValue(text) ? ProxyInputProblem::None : ProxyInputProblem::TooLong;
    return {problem, std::move(text)};
}

// The port without leading zeros, or empty when it is none.
std::string CanonicalPort(const std::string& port)
{
    if (!IsDigits(port))
        return std::string();
    const size_t first = port.find_first_not_of('0');
    if (first == std::string::npos || port.size() - first > 5)
        return std::string();
    const std::string digits = port.substr(first);
    return std::stoul(digits) <= kHighestPort ? digits : std::string();
}

}  // namespace

bool IsProxyServerPerScheme(const std::string& server)
{
    return server.find_first_of("=;") != std::string::npos;
}

ProxyServerFields SplitProxyServer(const std::string& stored)
{
    const std::string text = Trim(stored);
    const ProxyServerFields whole{text, std::string()};
    if (IsProxyServerPerScheme(text))
        return whole;
    const size_t hostStart = HostStart(text);
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon < hostStart)
        return whole;
    const std::string port = text.substr(colon + 1);
    if (!IsDigits(port))
        return whole;
    const std::string host = text.substr(hostStart, colon - hostStart);
    if (!IsBracketed(host) && CountOf(host, ':') > 0)
        return whole;
    return {text.substr(0, colon), port};
}

ProxyInput JoinProxyServer(const std::string& server, const std::string& port, bool required)
{
    const std::string host = Trim(server);
    const std::string typedPort = Trim(port);
    if (host.empty()) {
        if (!typedPort.empty())
            return {ProxyInputProblem::PortWithoutServer, std::string()};
        return {required ? ProxyInputProblem::Missing : ProxyInputProblem::None, std::string()};
    }
    if (HasSpaceOrControl(host))
        return {ProxyInputProblem::BadCharacters, host};
    if (typedPort.empty())
        return Stored(host);
    if (IsProxyServerPerScheme(host))
        return {ProxyInputProblem::PortPerScheme, host};
    const std::string canonical = CanonicalPort(typedPort);
    if (canonical.empty())
        return {ProxyInputProblem::BadPort, host};
    if (!SplitProxyServer(host).port.empty())
        return {ProxyInputProblem::PortInServer, host};
    const size_t hostStart = HostStart(host);
    const std::string name = host.substr(hostStart);
    const size_t colons = CountOf(name, ':');
    if (colons > 1 && !IsBracketed(name))  // an IPv6 address: its port follows the brackets
        return Stored(host.substr(0, hostStart) + "[" + name + "]:" + canonical);
    if (colons == 1)
        return {ProxyInputProblem::PortInServer, host};
    return Stored(host + ":" + canonical);
}

ProxyInput CheckBypassList(const std::string& typed)
{
    StringList entries;
    for (const std::string& entry : SplitEntries(typed)) {
        std::string trimmed = Trim(entry);
        if (trimmed.empty())
            continue;
        if (HasSpaceOrControl(trimmed))
            return {ProxyInputProblem::BadCharacters, Trim(typed)};
        entries.push_back(std::move(trimmed));
    }
    return Stored(JoinText(entries, ';'));
}

ProxyInput CheckScriptAddress(const std::string& typed, bool required)
{
    if (!required)
        return {ProxyInputProblem::None, std::string()};
    std::string address = Trim(typed);
    if (address.empty())
        return {ProxyInputProblem::Missing, std::string()};
    if (HasSpaceOrControl(address))
        return {ProxyInputProblem::BadCharacters, address};
    return Stored(std::move(address));
}

bool HasLocalBypass(const std::string& list)
{
    const StringList entries = SplitEntries(list);
    return std::any_of(entries.begin(), entries.end(), IsLocalEntry);
}

std::string WithLocalBypass(const std::string& list, bool bypassLocal)
{
    if (bypassLocal) {
        if (HasLocalBypass(list))
            return list;
        std::string added = list;
        while (!added.empty() && IsWhiteSpace(added.back()))
            added.pop_back();
        if (!added.empty() && added.back() != ';')
            added += ';';
        return added + kLocalBypassEntry;
    }
    StringList kept = SplitEntries(list);
    kept.erase(std::remove_if(kept.begin(), kept.end(), IsLocalEntry), kept.end());
    return JoinText(kept, ';');
}

}  // namespace flipset
