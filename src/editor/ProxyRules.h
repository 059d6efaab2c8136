// The rules of the Proxy dialog that need no window: how a stored proxy
// server is shown as a server and a port and joined back, the bypass list's
// entry for local addresses, and the checks of what the user typed before
// anything is stored.
#pragma once

#include <string>

namespace flipset {

// The bypass list's entry that stands for every address without a dot.
constexpr const char* kLocalBypassEntry = "<local>";

// A stored "ProxyServer" as the dialog shows it.
struct ProxyServerFields {
    std::string server;
    std::string port;  // empty when the server text keeps its port itself
};

// "host:port" and "[v6 address]:port" split at the port's colon. Every other
// text is shown whole with an empty port: a server per scheme
// ("http=a:80;https=b:443") has a port per server that one port box could not
// show, a bare IPv6 address has no colon that surely starts a port, and a text
// without a numeric port has none to show.
ProxyServerFields SplitProxyServer(const std::string& stored);

// True for a server text per scheme ("http=a:80;https=b:443").
bool IsProxyServerPerScheme(const std::string& server);

// Why a typed value cannot be stored.
enum class ProxyInputProblem {
    None,
    Missing,            // the check box asks for a text that is empty
    BadCharacters,      // a space or a control character
    TooLong,            // longer than a text value can be read back
    PortWithoutServer,  // a port and no server
    PortInServer,       // a port typed beside a server text that has one
    PortPerScheme,      // a port typed beside a server per scheme
    BadPort,            // not a number from 1 to 65535
};

// A typed value, checked: the text to store, or the problem. With TooLong the
// text is the one that would have been stored, for its length.
struct ProxyInput {
    ProxyInputProblem problem = ProxyInputProblem::None;
    std::string text;
};

// The "ProxyServer" text for the server and port boxes: both trimmed, the
// port (1 to 65535, leading zeros dropped) joined with a colon, an IPv6
// address put in brackets before its port. required: "Use a proxy server" is
// checked, so the server may not be empty.
ProxyInput JoinProxyServer(const std::string& server, const std::string& port, bool required);

// The "ProxyOverride" text for the bypass list box: each entry trimmed, empty
// entries dropped, joined with ";".
ProxyInput CheckBypassList(const std::string& typed);

// The "AutoConfigURL" text for the script address box, trimmed; required:
// "Use automatic configuration script" is checked.
ProxyInput CheckScriptAddress(const std::string& typed, bool required);

// Whether the bypass list holds the local entry, in any letter case.
bool HasLocalBypass(const std::string& list);
// The list with the local entry added at its end, or with every local entry
// taken out; the other entries stay as they are, in their order.
std::string WithLocalBypass(const std::string& list, bool bypassLocal);

}  // namespace flipset
