#include "network/CardTcpip.h"

#include "support/MemoryRegistryBackend.h"
#include "support/RefusingRegistryBackend.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <variant>

namespace flipset {
namespace {

const std::string kCardKey = "Software\\Quillon\\Flipset\\Configurations\\1\\0007";
constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;

// A stored value: a number, a text or a list of texts.
using Stored = std::variant<uint32_t, std::string, StringList>;
using StoredValues = std::map<std::string, Stored>;

class CardKey {
public:
    void Store(const StoredValues& values)
    {
        const COpenKey key = Open();
        for (const auto& [name, value] : values) {
            if (const auto* number = std::get_if<uint32_t>(&value))
                key.WriteDword(name, *number);
            else if (const auto* text = std::get_if<std::string>(&value))
                key.WriteString(name, *text);
            else
                key.WriteMultiString(name, std::get<StringList>(value));
        }
    }

    // Every value of the key, as Store takes them.
    StoredValues Stored() const
    {
        StoredValues values;
        const COpenKey key = registry.OpenForReading(kCardKey, kRoot);
        for (const NamedValue& named : key.ReadAllValues()) {
            uint32_t number = 0;
            StringList entries;
            if (named.value.AsDword(number))
                values[named.name] = number;
            else if (key.ReadMultiString(named.name, entries))
                values[named.name] = entries;
            else
                values[named.name] = key.ReadString(named.name, "");
        }
        return values;
    }

    COpenKey Open() const { return registry.OpenForWriting(kCardKey, kRoot); }

    MemoryRegistryBackend backend;
    CRegistry registry{backend};
};

std::string Describe(const CardTcpip& t)
{
    std::string text = t.dhcp ? "dhcp" : "fixed";
    for (const Ipv4WithMask& a : t.addresses)
        text += " " + AddressWithMaskText(a);
    text += " gw " + std::to_string(t.gateway) + (t.dnsFromDhcp ? " dns dhcp" : " dns");
    for (const std::string& s : t.dnsServers)
        text += " " + s;
    return text + " suffix '" + t.suffix + "' guid '" + t.adapterGuid + "'";
}

CardTcpip Fixed(std::vector<Ipv4WithMask> addresses, uint32_t gateway,
                std::vector<std::string> servers)
{
    CardTcpip t;
    t.dhcp = false;
    t.dnsFromDhcp = false;
    t.addresses = std::move(addresses);
    t.gateway = gateway;
    t.dnsServers = std::move(servers);
    return t;
}

const StringList kEightIpv6 = {"fd00::1", "fd00::2", "fd00::3", "fd00::4",
                               "fd00::5", "fd00::6", "fd00::7", "fd00::8"};

TEST(CardTcpip, ReadingTakesTheSingleValuesAndTheListsTogether)
{
    struct Case {
        const char* what;
        StoredValues stored;
        CardTcpip expected;
    };
    CardTcpip automatic;
    CardTcpip withSuffix;
    withSuffix.suffix = "corp.example";
    withSuffix.adapterGuid = "{5C3A4B2E-1111}";
    CardTcpip dhcpWithList;
    dhcpWithList.dnsFromDhcp = false;
    dhcpWithList.dnsServers = {"10.0.0.53", "2001:db8::53"};
    CardTcpip fixedDnsFromDhcp = Fixed({{0x0A000002, 0xFFFFFF00}}, 0, {});
    fixedDnsFromDhcp.dnsFromDhcp = true;
    const Case cases[] = {
        {"nothing but the card marker", {{"NIC", std::string("true")}}, automatic},
        {"DHCP 2 is automatic", {{"DHCP", 2u}}, automatic},
        {"the suffix and the adapter",
         {{"DOMAIN", std::string("corp.example")}, {"AdapterGUID", std::string("{5C3A4B2E-1111}")}},
         withSuffix},
        {"a single-address card",
         {{"DHCP", 0u},
          {"IP", 0xC0A80001u},
          {"Netmask", 0xFFFFFF00u},
          {"Gateway", 0xC0A800FEu},
          {"DNS1", 0xC0A80002u}},
         Fixed({{0xC0A80001, 0xFFFFFF00}}, 0xC0A800FE, {"192.168.0.2"})},
        {"fixed without addresses or a server", {{"DHCP", 0u}, {"DNS1", 0u}}, Fixed({}, 0, {})},
        {"further addresses after the first, one that is none passed over",
         {{"DHCP", 0u},
          {"IP", 0x0A000001u},
          {"Netmask", 0xFF000000u},
          {"MoreAddresses",
           StringList{"10.1.0.1/255.255.0.0", "10.2.0.1", "x/y", "10.3.0.1/255.255.255.0"}}},
         Fixed({{0x0A000001, 0xFF000000}, {0x0A010001, 0xFFFF0000}, {0x0A030001, 0xFFFFFF00}}, 0,
               {})},
        {"no first address: the further ones alone",
         {{"DHCP", 0u}, {"MoreAddresses", StringList{"10.1.0.1/255.255.0.0"}}},
         Fixed({{0x0A010001, 0xFFFF0000}}, 0, {})},
        {"an address without a mask is still an address",
         {{"DHCP", 0u}, {"IP", 0x0A000001u}},
         Fixed({{0x0A000001, 0}}, 0, {})},
        {"the list in order, DNS1 agreeing, texts made canonical",
         {{"DHCP", 0u},
          {"DNS1", 0x0A000035u},
          {"DNSServers", StringList{"2001:DB8:0::53", "10.0.0.53", "bad", "10.0.0.54"}}},
         Fixed({}, 0, {"2001:db8::53", "10.0.0.53", "10.0.0.54"})},
        {"DNS1 changed by a program without the list takes its place",
         {{"DHCP", 0u},
          {"DNS1", 0x0A000063u},
          {"DNSServers", StringList{"2001:db8::53", "10.0.0.53", "10.0.0.54"}}},
         Fixed({}, 0, {"2001:db8::53", "10.0.0.99", "10.0.0.54"})},
        {"DNS1 cleared by such a program drops its place",
         {{"DHCP", 0u}, {"DNS1", 0u}, {"DNSServers", StringList{"10.0.0.53", "10.0.0.54"}}},
         Fixed({}, 0, {"10.0.0.54"})},
        {"DNS1 set beside a list of IPv6 servers comes first",
         {{"DHCP", 0u}, {"DNS1", 0x0A000063u}, {"DNSServers", StringList{"2001:db8::53"}}},
         Fixed({}, 0, {"10.0.0.99", "2001:db8::53"})},
        {"no more than eight servers, DNS1 among them",
         {{"DHCP", 0u}, {"DNS1", 0x0A000063u}, {"DNSServers", kEightIpv6}},
         Fixed({}, 0,
               {"10.0.0.99", "fd00::1", "fd00::2", "fd00::3", "fd00::4", "fd00::5", "fd00::6",
                "fd00::7"})},
        {"a list without DNS1 stands as it is",
         {{"DHCP", 0u}, {"DNSServers", StringList{"10.0.0.53"}}},
         Fixed({}, 0, {"10.0.0.53"})},
        {"DNS from DHCP with fixed addresses",
         {{"DHCP", 0u}, {"IP", 0x0A000002u}, {"Netmask", 0xFFFFFF00u}, {"DNSFromDHCP", 1u}},
         fixedDnsFromDhcp},
        {"servers of their own with automatic addresses",
         {{"DHCP", 1u},
          {"DNSFromDHCP", 0u},
          {"DNS1", 0x0A000035u},
          {"DNSServers", StringList{"10.0.0.53", "2001:db8::53"}}},
         dhcpWithList},
    };
    for (const Case& c : cases) {
        CardKey key;
        key.Store(c.stored);
        EXPECT_EQ(Describe(ReadCardTcpip(key.Open())), Describe(c.expected)) << c.what;
    }
    EXPECT_EQ(Describe(ReadCardTcpip(COpenKey())), Describe(automatic)) << "a missing key";
}

TEST(CardTcpip, WritingStoresTheListsOnlyWhenTheySayMoreAndReadsBackTheSame)
{
    struct Case {
        const char* what;
        CardTcpip tcpip;
        StoredValues stored;  // beside "NIC"
    };
    const StoredValues singleValuesOfNothing = {
        {"DHCP", 0u},    {"IP", 0u},   {"Netmask", 0u},
        {"Gateway", 0u}, {"DNS1", 0u}, {"DOMAIN", std::string()},
    };
    auto with = [](StoredValues values, const StoredValues& changes) {
        for (const auto& [name, value] : changes)
            values[name] = value;
        return values;
    };
    CardTcpip automatic;
    automatic.suffix = "corp.example";
    automatic.adapterGuid = "{5C3A4B2E-1111}";
    CardTcpip dhcpWithServers;
    dhcpWithServers.dnsFromDhcp = false;
    dhcpWithServers.dnsServers = {"2001:db8::53"};
    CardTcpip fixedDnsFromDhcp = Fixed({}, 0, {});
    fixedDnsFromDhcp.dnsFromDhcp = true;
    const Case cases[] = {
        {"automatic", automatic,
         with(singleValuesOfNothing, {{"DHCP", 1u},
                                      {"DOMAIN", std::string("corp.example")},
                                      {"AdapterGUID", std::string("{5C3A4B2E-1111}")}})},
        {"one address and one server: the single values alone",
         Fixed({{0xC0A80001, 0xFFFFFF00}}, 0xC0A800FE, {"192.168.0.2"}),
         with(singleValuesOfNothing, {{"IP", 0xC0A80001u},
                                      {"Netmask", 0xFFFFFF00u},
                                      {"Gateway", 0xC0A800FEu},
                                      {"DNS1", 0xC0A80002u}})},
        {"several addresses and servers",
         Fixed({{0x0A000001, 0xFF000000}, {0x0A010001, 0xFFFF0000}}, 0x0A0000FE,
               {"2001:db8::53", "10.0.0.53"}),
         with(singleValuesOfNothing, {{"IP", 0x0A000001u},
                                      {"Netmask", 0xFF000000u},
                                      {"Gateway", 0x0A0000FEu},
                                      {"MoreAddresses", StringList{"10.1.0.1/255.255.0.0"}},
                                      {"DNS1", 0x0A000035u},
                                      {"DNSServers", StringList{"2001:db8::53", "10.0.0.53"}}})},
        {"IPv6 servers only: DNS1 is 0", Fixed({}, 0, {"2001:db8::53", "2001:db8::54"}),
         with(singleValuesOfNothing, {{"DNSServers", StringList{"2001:db8::53", "2001:db8::54"}}})},
        {"servers with automatic addresses", dhcpWithServers,
         with(singleValuesOfNothing,
              {{"DHCP", 1u}, {"DNSFromDHCP", 0u}, {"DNSServers", StringList{"2001:db8::53"}}})},
        {"DNS from DHCP with fixed addresses", fixedDnsFromDhcp,
         with(singleValuesOfNothing, {{"DNSFromDHCP", 1u}})},
    };
    for (const Case& c : cases) {
        CardKey key;
        // What an earlier setup of the card left, all of it to be replaced.
        key.Store({{"NIC", std::string("true")},
                   {"MoreAddresses", StringList{"10.9.0.1/255.255.0.0"}},
                   {"DNSServers", StringList{"10.9.9.9", "10.9.9.8"}},
                   {"DNSFromDHCP", 1u}});
        ASSERT_TRUE(WriteCardTcpip(key.Open(), c.tcpip)) << c.what;
        EXPECT_EQ(key.Stored(), with(c.stored, {{"NIC", std::string("true")}})) << c.what;
        EXPECT_EQ(Describe(ReadCardTcpip(key.Open())), Describe(c.tcpip)) << c.what;
    }
}

TEST(CardTcpip, AWriteTheRegistryRefusesIsReported)
{
    MemoryRegistryBackend memory;
    RefusingRegistryBackend refusing(memory);
    CRegistry registry(refusing);
    registry.WriteMultiString(kCardKey, "DNSServers", {"10.9.9.9", "10.9.9.8"}, kRoot);
    const CardTcpip several = Fixed({{0x0A000001, 0xFF000000}, {0x0A010001, 0xFFFF0000}}, 0,
                                    {"10.0.0.53", "2001:db8::53"});
    const CardTcpip single = Fixed({{0x0A000001, 0xFF000000}}, 0, {"10.0.0.53"});
    // A list written, and a stale list that a card without one removes.
    for (const char* name : {"IP", "MoreAddresses", "DNSServers", "DOMAIN"}) {
        refusing.RefuseValue(name);
        const CardTcpip& tcpip = std::string(name) == "MoreAddresses" ? several : single;
        EXPECT_FALSE(WriteCardTcpip(registry.OpenForWriting(kCardKey, kRoot), tcpip)) << name;
    }
    refusing.RefuseNothing();
    EXPECT_TRUE(WriteCardTcpip(registry.OpenForWriting(kCardKey, kRoot), single));
    refusing.RefuseEveryWrite();
    EXPECT_FALSE(WriteCardTcpip(registry.OpenForWriting(kCardKey, kRoot), single));
}

}  // namespace
}  // namespace flipset
