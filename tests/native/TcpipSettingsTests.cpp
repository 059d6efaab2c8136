#include "network/TcpipSettings.h"

#include "support/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: the interface key is the
// operating system's.
const std::string kInterfaceKey =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\{5C3A4B2E-1111}";
const std::string kCardSettingsKey = "Software\\Quillon\\Flipset\\Configurations\\1\\0007";
constexpr RegistryRoot kConfigurationRoot = RegistryRoot::CurrentUser;

TEST(TcpipSettings, DottedAddressGivesTheOctetsFromTheMostSignificantDown)
{
    struct Case {
        uint32_t address;
        const char* expected;
    };
    const Case cases[] = {
        {0x00000000, "0.0.0.0"},         {0xC0A80001, "192.168.0.1"}, {0x0A000102, "10.0.1.2"},
        {0xFFFFFF00, "255.255.255.0"},   {0x80000001, "128.0.0.1"},  // each octet unsigned
        {0xFFFFFFFF, "255.255.255.255"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DottedAddress(c.address), c.expected) << std::hex << c.address;
}

struct CardSettings {
    bool hasDhcp = false;
    uint32_t dhcp = 0;
    std::map<std::string, uint32_t> addresses;  // "IP", "Netmask", "Gateway", "DNS1"
    bool hasDomain = false;
    std::string domain;
};

// An interface value as "sz:text", "dword:n", "multi:a|b" or "missing".
using InterfaceValues = std::map<std::string, std::string>;

class TcpipApply {
public:
    TcpipApply()
    {
        // The interface as an earlier run with fixed addresses left it.
        registry_.WriteString(kInterfaceKey, "Domain", "old.example", RegistryRoot::LocalMachine);
        registry_.WriteDword(kInterfaceKey, "EnableDHCP", 0, RegistryRoot::LocalMachine);
        registry_.WriteString(kInterfaceKey, "Nameserver", "10.9.9.9", RegistryRoot::LocalMachine);
        for (const char* name : {"DefaultGateway", "IPAddress", "SubnetMask"})
            registry_.WriteMultiString(kInterfaceKey, name, {"10.9.9.1"},
                                       RegistryRoot::LocalMachine);
        registry_.WriteString(kInterfaceKey, "Unrelated", "kept", RegistryRoot::LocalMachine);
    }

    InterfaceValues Apply(const CardSettings& settings)
    {
        registry_.WriteString(kCardSettingsKey, "NIC", "true", kConfigurationRoot);
        if (settings.hasDhcp)
            registry_.WriteDword(kCardSettingsKey, "DHCP", settings.dhcp, kConfigurationRoot);
        for (const auto& [name, address] : settings.addresses)
            registry_.WriteDword(kCardSettingsKey, name, address, kConfigurationRoot);
        if (settings.hasDomain)
            registry_.WriteString(kCardSettingsKey, "DOMAIN", settings.domain, kConfigurationRoot);

        ApplyCardTcpip(registry_, kConfigurationRoot, kCardSettingsKey, kInterfaceKey);

        InterfaceValues values;
        for (const char* name : {"Domain", "EnableDHCP", "Nameserver", "DefaultGateway",
                                 "IPAddress", "SubnetMask", "Unrelated"})
            values[name] = Describe(name);
        return values;
    }

private:
    std::string Describe(const std::string& name) const
    {
        RegistryValue value;
        if (!registry_.ReadValue(kInterfaceKey, name, value, RegistryRoot::LocalMachine))
            return "missing";
        const std::string data(value.data.begin(), value.data.end());
        switch (static_cast<RegistryValueType>(value.type)) {
        case RegistryValueType::String:
            if (data.empty() || data.back() != '\0')
                return "sz unterminated";
            return "sz:" + data.substr(0, data.size() - 1);
        case RegistryValueType::Dword:
            if (data.size() != 4)
                return "dword of wrong size";
            return "dword:" + std::to_string(registry_.ReadDword(kInterfaceKey, name, 0,
                                                                 RegistryRoot::LocalMachine));
        case RegistryValueType::MultiString: {
            // Each entry and its 0 byte, then one more 0 byte.
            if (data.size() < 2 || data.compare(data.size() - 2, 2, std::string(2, '\0')) != 0)
                return "multi unterminated";
            std::string entries = data.substr(0, data.size() - 2);
            for (char& c : entries) {
                if (c == '\0')
                    c = '|';
            }
            return "multi:" + entries;
        }
        case RegistryValueType::Binary:
            return "binary";
        }
        return "type " + std::to_string(value.type);
    }

    MemoryRegistryBackend backend_;
    CRegistry registry_{backend_};
};

TEST(TcpipSettings, ApplyWritesFixedAddressesOrAutomaticConfiguration)
{
    const std::map<std::string, uint32_t> stored = {
        {"IP", 0xC0A80001}, {"Netmask", 0xFFFFFF00}, {"Gateway", 0xC0A800FE}, {"DNS1", 0xC0A80002}};
    const InterfaceValues automatic = {
        {"Domain", "sz:"},
        {"EnableDHCP", "dword:1"},
        {"Nameserver", "sz:"},
        {"DefaultGateway", "missing"},
        {"IPAddress", "multi:0.0.0.0"},
        {"SubnetMask", "multi:0.0.0.0"},
        {"Unrelated", "sz:kept"},
    };
    auto with = [](InterfaceValues values, const char* name, const char* value) {
        values[name] = value;
        return values;
    };
    struct Case {
        const char* what;
        CardSettings settings;
        InterfaceValues expected;
    };
    const Case cases[] = {
        {"fixed addresses",
         {true, 0, stored, true, "corp.example"},
         {{"Domain", "sz:corp.example"},
          {"EnableDHCP", "dword:0"},
          {"Nameserver", "sz:192.168.0.2"},
          {"DefaultGateway", "multi:192.168.0.254"},
          {"IPAddress", "multi:192.168.0.1"},
          {"SubnetMask", "multi:255.255.255.0"},
          {"Unrelated", "sz:kept"}}},
        {"fixed without any address or domain",
         {true, 0, {}, false, ""},
         {{"Domain", "sz:"},
          {"EnableDHCP", "dword:0"},
          {"Nameserver", "sz:0.0.0.0"},
          {"DefaultGateway", "multi:0.0.0.0"},
          {"IPAddress", "multi:0.0.0.0"},
          {"SubnetMask", "multi:0.0.0.0"},
          {"Unrelated", "sz:kept"}}},
        {"only the card marker", {false, 0, {}, false, ""}, automatic},
        {"DHCP 1", {true, 1, stored, false, ""}, automatic},
        {"DHCP 2 counts as automatic, addresses ignored",
         {true, 2, stored, true, "corp.example"},
         with(automatic, "Domain", "sz:corp.example")},
        {"an empty domain is written empty", {true, 1, {}, true, ""}, automatic},
    };
    for (const Case& c : cases) {
        TcpipApply apply;
        EXPECT_EQ(apply.Apply(c.settings), c.expected) << c.what;
    }
}

TEST(TcpipSettings, TheCardSettingsAreReadUnderTheConfigurationRootOnly)
{
    MemoryRegistryBackend backend;
    CRegistry registry(backend);
    // The same path under the other root holds fixed addresses.
    registry.WriteDword(kCardSettingsKey, "DHCP", 0, RegistryRoot::LocalMachine);
    registry.WriteDword(kCardSettingsKey, "DHCP", 1, RegistryRoot::CurrentUser);

    ApplyCardTcpip(registry, RegistryRoot::CurrentUser, kCardSettingsKey, kInterfaceKey);
    EXPECT_EQ(registry.ReadDword(kInterfaceKey, "EnableDHCP", 7, RegistryRoot::LocalMachine), 1u);
    EXPECT_EQ(registry.ReadDword(kInterfaceKey, "EnableDHCP", 7, RegistryRoot::CurrentUser), 7u);

    ApplyCardTcpip(registry, RegistryRoot::LocalMachine, kCardSettingsKey, kInterfaceKey);
    EXPECT_EQ(registry.ReadDword(kInterfaceKey, "EnableDHCP", 7, RegistryRoot::LocalMachine), 0u);
}

// Each planned write as "name=sz:text", "name=dword:n", "name=multi:a|b" or
// "name removed", in the plan's order.
StringList DescribePlan(const std::vector<TcpipWrite>& writes)
{
    StringList lines;
    for (const TcpipWrite& write : writes) {
        if (write.remove) {
            lines.push_back(std::string(write.name) + " removed");
            continue;
        }
        std::string data(write.value.data.begin(), write.value.data.end());
        uint32_t number = 0;
        if (write.value.AsDword(number)) {
            lines.push_back(std::string(write.name) + "=dword:" + std::to_string(number));
        } else if (write.value.type == static_cast<uint32_t>(RegistryValueType::MultiString)) {
            data.resize(data.size() - 2);  // the last entry's 0 byte and the list's
            for (char& c : data) {
                if (c == '\0')
                    c = '|';
            }
            lines.push_back(std::string(write.name) + "=multi:" + data);
        } else {
            lines.push_back(std::string(write.name) + "=sz:" + data.substr(0, data.size() - 1));
        }
    }
    return lines;
}

TEST(TcpipSettings, SeveralAddressesAndIpv4ServersGoIntoTheListsAndTheNameServerText)
{
    CardTcpip fixed;
    fixed.dhcp = false;
    fixed.dnsFromDhcp = false;
    fixed.addresses = {{0x0A000001, 0xFF000000}, {0xC0A80001, 0xFFFFFF00}};
    fixed.gateway = 0x0A0000FE;
    fixed.dnsServers = {"2001:db8::53", "10.0.0.53", "10.0.0.54"};
    fixed.suffix = "corp.example";
    CardTcpip onlyIpv6 = fixed;
    onlyIpv6.dnsServers = {"2001:db8::53"};
    CardTcpip fixedDnsFromDhcp = fixed;
    fixedDnsFromDhcp.dnsFromDhcp = true;
    CardTcpip automaticOwnServers;
    automaticOwnServers.dnsFromDhcp = false;
    automaticOwnServers.addresses = fixed.addresses;  // kept, not written
    automaticOwnServers.dnsServers = {"10.0.0.53", "fd00::53", "10.0.0.54"};
    CardTcpip automaticEmptyList;
    automaticEmptyList.dnsFromDhcp = false;
    struct Case {
        const char* what;
        CardTcpip tcpip;
        StringList expected;
    };
    const Case cases[] = {
        {"fixed: every address with its mask, the IPv4 servers only",
         fixed,
         {"Domain=sz:corp.example", "EnableDHCP=dword:0", "Nameserver=sz:10.0.0.53 10.0.0.54",
          "DefaultGateway=multi:10.0.0.254", "IPAddress=multi:10.0.0.1|192.168.0.1",
          "SubnetMask=multi:255.0.0.0|255.255.255.0"}},
        {"fixed with IPv6 servers only: no IPv4 server, as before",
         onlyIpv6,
         {"Domain=sz:corp.example", "EnableDHCP=dword:0", "Nameserver=sz:0.0.0.0",
          "DefaultGateway=multi:10.0.0.254", "IPAddress=multi:10.0.0.1|192.168.0.1",
          "SubnetMask=multi:255.0.0.0|255.255.255.0"}},
        {"fixed with DNS from DHCP: no server of its own",
         fixedDnsFromDhcp,
         {"Domain=sz:corp.example", "EnableDHCP=dword:0", "Nameserver=sz:",
          "DefaultGateway=multi:10.0.0.254", "IPAddress=multi:10.0.0.1|192.168.0.1",
          "SubnetMask=multi:255.0.0.0|255.255.255.0"}},
        {"automatic with servers of its own",
         automaticOwnServers,
         {"Domain=sz:", "EnableDHCP=dword:1", "Nameserver=sz:10.0.0.53 10.0.0.54",
          "DefaultGateway removed", "IPAddress=multi:0.0.0.0", "SubnetMask=multi:0.0.0.0"}},
        {"automatic with an empty list of its own",
         automaticEmptyList,
         {"Domain=sz:", "EnableDHCP=dword:1", "Nameserver=sz:", "DefaultGateway removed",
          "IPAddress=multi:0.0.0.0", "SubnetMask=multi:0.0.0.0"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescribePlan(PlannedCardTcpip(c.tcpip)), c.expected) << c.what;
}

TEST(TcpipSettings, ApplyReadsTheListsOfTheCardSettingsKey)
{
    MemoryRegistryBackend backend;
    CRegistry registry(backend);
    registry.WriteDword(kCardSettingsKey, "DHCP", 0, kConfigurationRoot);
    registry.WriteDword(kCardSettingsKey, "IP", 0x0A000001, kConfigurationRoot);
    registry.WriteDword(kCardSettingsKey, "Netmask", 0xFF000000, kConfigurationRoot);
    registry.WriteMultiString(kCardSettingsKey, "MoreAddresses", {"10.1.0.1/255.255.0.0"},
                              kConfigurationRoot);
    registry.WriteDword(kCardSettingsKey, "DNS1", 0x0A000035, kConfigurationRoot);
    registry.WriteMultiString(kCardSettingsKey, "DNSServers", {"fd00::53", "10.0.0.53", "10.0.0.54"},
                              kConfigurationRoot);

    ApplyCardTcpip(registry, kConfigurationRoot, kCardSettingsKey, kInterfaceKey);
    const COpenKey written = registry.OpenForReading(kInterfaceKey, RegistryRoot::LocalMachine);
    StringList entries;
    EXPECT_TRUE(written.ReadMultiString("IPAddress", entries));
    EXPECT_EQ(entries, (StringList{"10.0.0.1", "10.1.0.1"}));
    EXPECT_TRUE(written.ReadMultiString("SubnetMask", entries));
    EXPECT_EQ(entries, (StringList{"255.0.0.0", "255.255.0.0"}));
    EXPECT_EQ(written.ReadString("Nameserver", "missing"), "10.0.0.53 10.0.0.54");
}

}  // namespace
}  // namespace flipset
