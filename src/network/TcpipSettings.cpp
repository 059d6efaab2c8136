#include "network/TcpipSettings.h"

#include "store/ConfigurationSchema.h"

#include <utility>

namespace flipset {

namespace {

constexpr RegistryRoot kInterfaceRoot = RegistryRoot::LocalMachine;
// A card settings key without "DHCP" asks for automatic configuration.
constexpr uint32_t kDefaultDhcp = 1;
constexpr uint32_t kFixedAddresses = 0;
constexpr uint32_t kDefaultAddress = 0;
constexpr const char* kNoAddress = "0.0.0.0";

}  // namespace

std::string TcpipInterfaceKey(const std::string& serviceName)
{
    return std::string(kTcpipInterfacesKey) + "\\" + serviceName;
}

std::string DottedAddress(uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

namespace {

// A list of one text: the text, its 0 byte and the list's closing 0 byte.
RegistryValue OneTextList(const std::string& text)
{
    RegistryValue value = RegistryValue::String(text);
    value.type = static_cast<uint32_t>(RegistryValueType::MultiString);
    value.data.push_back(0);
    return value;
}

TcpipWrite Write(const char* name, RegistryValue value)
{
    return TcpipWrite{name, false, std::move(value)};
}

}  // namespace

std::vector<TcpipWrite> PlannedCardTcpip(const COpenKey& card)
{
    auto readAddress = [&card](const char* name) {
        return DottedAddress(card.ReadDword(name, kDefaultAddress));
    };
    std::vector<TcpipWrite> writes;
    writes.push_back(Write(TcpipValue::kDomain,
                           RegistryValue::String(card.ReadString(CardValue::kDomain, ""))));
    const uint32_t dhcp = card.ReadDword(CardValue::kDhcp, kDefaultDhcp);
    if (dhcp == kFixedAddresses) {
        writes.push_back(Write(TcpipValue::kEnableDhcp, RegistryValue::Dword(0)));
        writes.push_back(
            Write(TcpipValue::kNameserver, RegistryValue::String(readAddress(CardValue::kDns1))));
        writes.push_back(
            Write(TcpipValue::kDefaultGateway, OneTextList(readAddress(CardValue::kGateway))));
        writes.push_back(Write(TcpipValue::kIpAddress, OneTextList(readAddress(CardValue::kIp))));
        writes.push_back(
            Write(TcpipValue::kSubnetMask, OneTextList(readAddress(CardValue::kNetmask))));
    } else {
        writes.push_back(Write(TcpipValue::kEnableDhcp, RegistryValue::Dword(1)));
        writes.push_back(Write(TcpipValue::kNameserver, RegistryValue::String("")));
        // Automatic configuration has no fixed gateway.
        writes.push_back(TcpipWrite{TcpipValue::kDefaultGateway, true, RegistryValue()});
        writes.push_back(Write(TcpipValue::kIpAddress, OneTextList(kNoAddress)));
        writes.push_back(Write(TcpipValue::kSubnetMask, OneTextList(kNoAddress)));
    }
    return writes;
}

void ApplyCardTcpip(CRegistry registry, RegistryRoot configurationRoot,
                    const std::string& cardSettingsKey, const std::string& interfaceKey)
{
    const std::vector<TcpipWrite> writes =
        PlannedCardTcpip(registry.OpenForReading(cardSettingsKey, configurationRoot));
    const COpenKey key = registry.OpenForWriting(interfaceKey, kInterfaceRoot);
    for (const TcpipWrite& write : writes) {
        if (write.remove)
            (void)key.DeleteValue(write.name);
        else
            (void)key.WriteValue(write.name, write.value);
    }
}

}  // namespace flipset
