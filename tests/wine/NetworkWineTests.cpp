// The network card code against the real registry and device installer of a
// Wine prefix. The prefix's own card list holds the host's interfaces; the
// tests seed cards, connections and device states of their own under names
// that nothing else uses, and remove them again.

#include "network/AdapterControl.h"
#include "network/CardInventory.h"
#include "network/TcpipSettings.h"
#include "network/Win32DeviceInstaller.h"
#include "store/Registry.h"
#include "store/Win32RegistryBackend.h"
#include "wine/TestConstants.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace flipset {
namespace {

// Spelled out here rather than taken from the code: these are the system's keys.
const std::string kCards = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
const std::string kClasses = "SYSTEM\\CurrentControlSet\\Control\\Network";
const std::string kEnum = "SYSTEM\\CurrentControlSet\\Enum";
const std::string kInterfaces =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";

const std::string kCard1 = "FlipsetTestCard1";
const std::string kCard2 = "FlipsetTestCard2";
const std::string kService1 = "{Flipset-Test-Service-1}";
const std::string kService2 = "{Flipset-Test-Service-2}";
const std::string kClassA = "{Flipset-Test-Class-A}";
const std::string kClassB = "{Flipset-Test-Class-B}";
const std::string kEnumerator = "FLIPSETTEST";
const std::string kDevice1 = kEnumerator + "\\NET\\0001";
const std::string kDevice2 = kEnumerator + "\\NET\\0002";
const std::string kScratch = "Software\\Flipset Network Wine Tests";

class MessageRecorder : public MessageSink {
public:
    void ShowError(const std::string& text) override { shown.push_back("error: " + text); }
    void ShowMessage(const std::string& text) override { shown.push_back("message: " + text); }
    std::vector<std::string> shown;
};

bool MachineKeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

class NetworkWine : public ::testing::Test {
protected:
    // A new prefix has neither of these; seeding below them creates them.
    const std::vector<std::string> parents_ = {kClasses, kInterfaces};
    std::vector<std::string> createdParents_;

    void SetUp() override
    {
        RemoveSeeded();  // in case an interrupted run left its keys behind
        for (const std::string& parent : parents_) {
            if (!MachineKeyExists(parent))
                createdParents_.push_back(parent);
        }
    }
    void TearDown() override
    {
        RemoveSeeded();
        // Refused while the key still has subkeys, so nothing else is lost.
        for (const std::string& parent : createdParents_)
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, parent.c_str());
    }

    void RemoveSeeded() const
    {
        for (const std::string& key :
             {kCards + "\\" + kCard1, kCards + "\\" + kCard2, kClasses + "\\" + kClassA,
              kClasses + "\\" + kClassB, kEnum + "\\" + kEnumerator, kInterfaces + "\\" + kService1,
              kInterfaces + "\\" + kService2})
            registry.DeleteKeyTree(key, kMachine);
        registry.DeleteKeyTree(kScratch, RegistryRoot::CurrentUser);
    }

    // Wine keeps the card list as a volatile key, which takes only volatile
    // subkeys (1021, ERROR_CHILD_MUST_BE_VOLATILE), so the card is seeded with
    // the raw calls; the program itself only reads there.
    static void SeedCard(const std::string& number, const std::string& description,
                         const std::string& serviceName)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kCards + "\\" + number).c_str(), 0, nullptr,
                                  REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        auto setString = [key](const char* name, const std::string& text) {
            EXPECT_EQ(
                RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>(text.size() + 1)),
                ERROR_SUCCESS);
        };
        setString("Description", description);
        setString("ServiceName", serviceName);
        RegCloseKey(key);
    }
    void SeedConnection(const std::string& networkClass, const std::string& serviceName,
                        const std::string& pnpInstanceId) const
    {
        registry.WriteString(kClasses + "\\" + networkClass + "\\" + serviceName + "\\Connection",
                             "PnpInstanceID", pnpInstanceId, kMachine);
    }
    void SeedDisableCount(const std::string& pnpInstanceId, uint32_t count) const
    {
        registry.WriteDword(kEnum + "\\" + pnpInstanceId + "\\Control", "DisableCount", count,
                            kMachine);
    }

    Win32RegistryBackend backend;
    CRegistry registry{backend};
};

TEST_F(NetworkWine, TheInventoryReadsSeededCardsBesideThePrefixsOwn)
{
    SeedCard(kCard2, "Flipset Test Adapter 2", kService2);
    SeedCard(kCard1, "Flipset Test Adapter 1", kService1);
    // Card 1: the first class has an empty value, the second the instance.
    SeedConnection(kClassA, kService1, "");
    SeedConnection(kClassB, kService1, kDevice1);
    // Card 2: both classes hold one; the first in enumeration order wins.
    SeedConnection(kClassB, kService2, kEnumerator + "\\NET\\9999");
    SeedConnection(kClassA, kService2, kDevice2);
    SeedDisableCount(kDevice1, 1);
    SeedDisableCount(kDevice2, 0xFFFFFFFF);

    const std::vector<NetworkCard> cards = ListNetworkCards(registry);
    auto position = [&cards](const std::string& number) {
        return std::find_if(cards.begin(), cards.end(),
                            [&number](const NetworkCard& card) { return card.number == number; });
    };
    ASSERT_NE(position(kCard1), cards.end());
    ASSERT_NE(position(kCard2), cards.end());
    EXPECT_LT(position(kCard1), position(kCard2));
    EXPECT_EQ(position(kCard1)->description, "Flipset Test Adapter 1");
    EXPECT_EQ(position(kCard2)->description, "Flipset Test Adapter 2");

    EXPECT_EQ(GetCardServiceName(registry, kCard1), kService1);
    EXPECT_EQ(GetCardPnpInstanceId(registry, kCard1), kDevice1);
    EXPECT_EQ(GetCardPnpInstanceId(registry, kCard2), kDevice2);
    EXPECT_FALSE(IsCardNumberEnabled(registry, kCard1));
    EXPECT_TRUE(IsCardNumberEnabled(registry, kCard2));                 // -1 counts as enabled
    EXPECT_TRUE(IsCardEnabled(registry, kEnumerator + "\\NET\\0003"));  // no such device
}

// A value of the interface key as the registry holds it.
struct RawValue {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::string data;
};

RawValue QueryRaw(const std::string& path, const char* name)
{
    RawValue value;
    HKEY key = nullptr;
    value.status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key);
    if (value.status != ERROR_SUCCESS)
        return value;
    char buffer[256] = {};
    DWORD size = sizeof(buffer);
    value.status =
        RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (value.status == ERROR_SUCCESS)
        value.data.assign(buffer, size);
    return value;
}

void ExpectValue(const std::string& path, const char* name, DWORD type, const std::string& data)
{
    const RawValue value = QueryRaw(path, name);
    ASSERT_EQ(value.status, ERROR_SUCCESS) << name;
    EXPECT_EQ(value.type, type) << name;
    EXPECT_EQ(value.data, data) << name;
}

TEST_F(NetworkWine, ApplyCardTcpipWritesTheValuesWithTheirTypes)
{
    using namespace std::string_literals;
    const std::string settings = kScratch + "\\Configurations\\1\\" + kCard1;
    const std::string interfaceKey = kInterfaces + "\\" + kService1;
    const RegistryRoot root = RegistryRoot::CurrentUser;
    registry.WriteString(settings, "NIC", "true", root);
    registry.WriteString(settings, "DOMAIN", "corp.example", root);
    registry.WriteDword(settings, "DHCP", 0, root);
    registry.WriteDword(settings, "IP", 0xC0A80001, root);
    registry.WriteDword(settings, "Netmask", 0xFFFFFF00, root);
    registry.WriteDword(settings, "Gateway", 0xC0A800FE, root);
    registry.WriteDword(settings, "DNS1", 0x08080808, root);

    ApplyCardTcpip(registry, root, settings, interfaceKey);

    ExpectValue(interfaceKey, "Domain", REG_SZ, "corp.example\0"s);
    ExpectValue(interfaceKey, "EnableDHCP", REG_DWORD, "\0\0\0\0"s);
    ExpectValue(interfaceKey, "Nameserver", REG_SZ, "8.8.8.8\0"s);
    ExpectValue(interfaceKey, "DefaultGateway", REG_MULTI_SZ, "192.168.0.254\0\0"s);
    ExpectValue(interfaceKey, "IPAddress", REG_MULTI_SZ, "192.168.0.1\0\0"s);
    ExpectValue(interfaceKey, "SubnetMask", REG_MULTI_SZ, "255.255.255.0\0\0"s);

    registry.WriteDword(settings, "DHCP", 1, root);
    ApplyCardTcpip(registry, root, settings, interfaceKey);

    ExpectValue(interfaceKey, "Domain", REG_SZ, "corp.example\0"s);
    ExpectValue(interfaceKey, "EnableDHCP", REG_DWORD, "\1\0\0\0"s);
    ExpectValue(interfaceKey, "Nameserver", REG_SZ, "\0"s);
    EXPECT_EQ(QueryRaw(interfaceKey, "DefaultGateway").status, ERROR_FILE_NOT_FOUND);
    ExpectValue(interfaceKey, "IPAddress", REG_MULTI_SZ, "0.0.0.0\0\0"s);
    ExpectValue(interfaceKey, "SubnetMask", REG_MULTI_SZ, "0.0.0.0\0\0"s);
}

// Wine's device installer lists no network device: nothing matches, and that
// is no failure.
TEST_F(NetworkWine, WithNoPresentDeviceSetCardStateSucceedsSilently)
{
    Win32DeviceInstaller devices;
    MessageRecorder messages;
    EXPECT_TRUE(SetCardState(devices, messages, "Flipset Test Adapter 1", false));
    EXPECT_TRUE(SetCardState(devices, messages, "Flipset Test Adapter 1", true));
    EXPECT_TRUE(messages.shown.empty());
}

// Disabling every card changes nothing under Wine, so each card is asked a
// bounded number of times; the call must still end, quietly.
TEST_F(NetworkWine, DisableAllEndsWhenNoCardCanChange)
{
    SeedCard(kCard1, "Flipset Test Adapter 1", kService1);
    SeedConnection(kClassA, kService1, kDevice1);
    Win32DeviceInstaller devices;
    MessageRecorder messages;

    EXPECT_TRUE(SetAllCardsState(registry, devices, messages, false));
    EXPECT_TRUE(SetAllCardsState(registry, devices, messages, true));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(NetworkWine, ErrorTextIsTheSystemsTextOrTheCode)
{
    Win32DeviceInstaller devices;
    const std::string accessDenied = ErrorText(devices, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(accessDenied.empty());
    EXPECT_EQ(accessDenied.find("Error with the code"), std::string::npos);
    EXPECT_EQ(accessDenied, devices.SystemMessageText(ERROR_ACCESS_DENIED));

    // The customer bit: no system message can have such a code.
    EXPECT_EQ(devices.SystemMessageText(0x2000F1A5), "");
    EXPECT_EQ(ErrorText(devices, 0x2000F1A5), "Error with the code 2000F1A5");
}

TEST_F(NetworkWine, DeviceListsAndMessageTextsLeaveNoHandleOpen)
{
    Win32DeviceInstaller devices;
    MessageRecorder messages;
    auto exerciseAll = [&] {
        SetCardState(devices, messages, "Flipset Test Adapter 1", false);
        ErrorText(devices, ERROR_ACCESS_DENIED);
        ErrorText(devices, 0x2000F1A5);
    };
    exerciseAll();  // let the platform settle its own one-time handles
    DWORD before = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    for (int i = 0; i < 100; ++i)
        exerciseAll();
    DWORD after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace flipset
