#include "editor/ProxyRules.h"

#include <gtest/gtest.h>

#include <string>

namespace flipset {
namespace {

using P = ProxyInputProblem;

TEST(ProxyRules, AStoredServerSplitsAtItsPortOnlyWhereThePortIsSure)
{
    struct Case {
        const char* stored;
        const char* server;
        const char* port;
    };
    const Case cases[] = {
        {"proxy.office.example:8080", "proxy.office.example", "8080"},
        {"  10.0.0.1:3128 ", "10.0.0.1", "3128"},
        {"proxy.office.example", "proxy.office.example", ""},
        {"http://proxy:80", "http://proxy", "80"},  // the scheme's colon is no port
        {"http://proxy", "http://proxy", ""},
        {"[fe80::1]:8080", "[fe80::1]", "8080"},
        {"[fe80::1]", "[fe80::1]", ""},
        {"fe80::1:8080", "fe80::1:8080", ""},  // a bare IPv6 address: no sure port
        {"proxy:http", "proxy:http", ""},      // not a number
        {"proxy:", "proxy:", ""},
        {"proxy:99999", "proxy", "99999"},                       // shown, refused only on OK
        {"http=a:80;https=b:443", "http=a:80;https=b:443", ""},  // one port box cannot show two
        {"http=a:80", "http=a:80", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("stored \"") + c.stored + "\"");
        const ProxyServerFields fields = SplitProxyServer(c.stored);
        EXPECT_EQ(fields.server, c.server);
        EXPECT_EQ(fields.port, c.port);
    }
}

TEST(ProxyRules, ServerAndPortJoinBackOrNameWhatIsWrong)
{
    struct Case {
        const char* server;
        const char* port;
        bool required;
        ProxyInputProblem problem;
        const char* stored;  // when there is no problem
    };
    const Case cases[] = {
        {"proxy.office.example", "8080", true, P::None, "proxy.office.example:8080"},
        {" proxy ", " 0080 ", true, P::None, "proxy:80"},  // trimmed, leading zeros dropped
        {"proxy", "65535", true, P::None, "proxy:65535"},
        {"proxy", "1", true, P::None, "proxy:1"},
        {"proxy:3128", "", true, P::None, "proxy:3128"},  // typed whole in the server box
        {"http=a:80;https=b:443", "", true, P::None, "http=a:80;https=b:443"},
        {"fe80::1", "8080", true, P::None, "[fe80::1]:8080"},
        {"http://fe80::1", "8080", true, P::None, "http://[fe80::1]:8080"},
        {"[fe80::1]", "8080", true, P::None, "[fe80::1]:8080"},
        {"http://proxy", "8080", true, P::None, "http://proxy:8080"},
        {"", "", false, P::None, ""},
        {"  ", "", true, P::Missing, ""},
        {"", "8080", false, P::PortWithoutServer, ""},
        {"proxy office", "8080", true, P::BadCharacters, ""},
        {"proxy\t1", "", false, P::BadCharacters, ""},
        {"proxy\x7F", "", true, P::BadCharacters, ""},
        {"proxy", "0", true, P::BadPort, ""},
        {"proxy", "65536", true, P::BadPort, ""},
        {"proxy", "000065535", true, P::None, "proxy:65535"},
        {"proxy", "99999999999999999999", true, P::BadPort, ""},
        {"proxy", "80a", true, P::BadPort, ""},
        {"proxy", "-80", true, P::BadPort, ""},
        {"proxy:3128", "8080", true, P::PortInServer, ""},
        {"[::1]:3128", "8080", true, P::PortInServer, ""},
        {"proxy:", "8080", true, P::PortInServer, ""},
        {"http=a:80;https=b:443", "8080", true, P::PortPerScheme, ""},
        {"http=a", "8080", true, P::PortPerScheme, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("server \"") + c.server + "\", port \"" + c.port + "\"");
        const ProxyInput input = JoinProxyServer(c.server, c.port, c.required);
        EXPECT_EQ(input.problem, c.problem);
        if (c.problem == P::None) {
            EXPECT_EQ(input.text, c.stored);
        }
    }
}

TEST(ProxyRules, EveryStoredServerComesBackUnchangedThroughTheDialogsBoxes)
{
    for (const char* stored : {"proxy.office.example:8080", "http://proxy:80", "[fe80::1]:8080",
                               "fe80::1:8080", "http=a:80;https=b:443", "proxy"}) {
        const ProxyServerFields fields = SplitProxyServer(stored);
        const ProxyInput joined = JoinProxyServer(fields.server, fields.port, true);
        EXPECT_EQ(joined.problem, P::None) << stored;
        EXPECT_EQ(joined.text, stored);
    }
}

TEST(ProxyRules, ATextValueLongerThanCanBeReadBackIsTooLong)
{
    const std::string longest(1023 - 5, 's');  // with ":8080", 1023 bytes
    EXPECT_EQ(JoinProxyServer(longest, "8080", true).problem, P::None);
    const ProxyInput server = JoinProxyServer(longest + "s", "8080", true);
    EXPECT_EQ(server.problem, P::TooLong);
    EXPECT_EQ(server.text.size(), 1024u) << "the length the message reports";

    EXPECT_EQ(CheckBypassList(std::string(1023, 'b')).problem, P::None);
    const ProxyInput list = CheckBypassList(std::string(600, 'b') + "; " + std::string(600, 'c'));
    EXPECT_EQ(list.problem, P::TooLong);
    EXPECT_EQ(list.text.size(), 1201u);

    EXPECT_EQ(CheckScriptAddress(std::string(1023, 'u'), true).problem, P::None);
    EXPECT_EQ(CheckScriptAddress(std::string(1024, 'u'), true).problem, P::TooLong);
}

TEST(ProxyRules, TheBypassListIsStoredAsTrimmedEntriesBetweenSemicolons)
{
    struct Case {
        const char* typed;
        ProxyInputProblem problem;
        const char* stored;
    };
    const Case cases[] = {
        {"*.office.example;<local>", P::None, "*.office.example;<local>"},
        {" 10.*; *.lan ;; <local>; ", P::None, "10.*;*.lan;<local>"},
        {"", P::None, ""},
        {" ; ", P::None, ""},
        {"a b;c", P::BadCharacters, ""},
        {"a;b\x01", P::BadCharacters, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
        const ProxyInput input = CheckBypassList(c.typed);
        EXPECT_EQ(input.problem, c.problem);
        if (c.problem == P::None) {
            EXPECT_EQ(input.text, c.stored);
        }
    }
}

TEST(ProxyRules, TheScriptAddressIsCheckedOnlyWhenTheScriptIsUsed)
{
    struct Case {
        const char* typed;
        bool used;
        ProxyInputProblem problem;
        const char* stored;
    };
    const Case cases[] = {
        {" http://wpad.office.example/proxy.pac ", true, P::None,
         "http://wpad.office.example/proxy.pac"},
        {"http://wpad/proxy.pac", false, P::None, ""},  // not used: stored as none
        {"bad address", false, P::None, ""},
        {"  ", true, P::Missing, ""},
        {"http://wpad/my proxy.pac", true, P::BadCharacters, ""},
        {"http://wpad/\r\n", true, P::None, "http://wpad/"},  // white space at the ends trimmed
        {"http://wpad/\x1B.pac", true, P::BadCharacters, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
        const ProxyInput input = CheckScriptAddress(c.typed, c.used);
        EXPECT_EQ(input.problem, c.problem);
        if (c.problem == P::None) {
            EXPECT_EQ(input.text, c.stored);
        }
    }
}

TEST(ProxyRules, BypassingLocalAddressesAddsOrRemovesOnlyTheLocalEntry)
{
    struct Case {
        const char* list;
        bool hasLocal;
        const char* withLocal;
        const char* withoutLocal;
    };
    const Case cases[] = {
        {"", false, "<local>", ""},
        {"  ", false, "<local>", "  "},
        {"*.lan", false, "*.lan;<local>", "*.lan"},
        {"*.lan; 10.* ", false, "*.lan; 10.*;<local>", "*.lan; 10.* "},
        {"*.lan;", false, "*.lan;<local>", "*.lan;"},
        {"<local>", true, "<local>", ""},
        {"<local>;*.lan", true, "<local>;*.lan", "*.lan"},            // its place kept
        {"a; <LOCAL> ;b", true, "a; <LOCAL> ;b", "a;b"},              // any letter case
        {"a;<local>;b;<local>", true, "a;<local>;b;<local>", "a;b"},  // every one removed
        {"a;;b", false, "a;;b;<local>", "a;;b"},                      // others left as written
        {"<localhost>;local", false, "<localhost>;local;<local>", "<localhost>;local"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("list \"") + c.list + "\"");
        EXPECT_EQ(HasLocalBypass(c.list), c.hasLocal);
        EXPECT_EQ(WithLocalBypass(c.list, true), c.withLocal);
        EXPECT_EQ(WithLocalBypass(c.list, false), c.withoutLocal);
    }
}

}  // namespace
}  // namespace flipset
