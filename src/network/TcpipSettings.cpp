#include "network/TcpipSettings.h"

#include "store/ConfigurationSchema.h"

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

void ApplyCardTcpip(CRegistry registry, RegistryRoot configurationRoot,
                    const std::string& cardSettingsKey, const std::string& interfaceKey)
{
    auto readAddress = [&](const char* name) {
        return DottedAddress(
            registry.ReadDword(cardSettingsKey, name, kDefaultAddress, configurationRoot));
    };

    const std::string domain =
        registry.ReadString(cardSettingsKey, CardValue::kDomain, "", configurationRoot);
    (void)registry.WriteString(interfaceKey, TcpipValue::kDomain, domain, kInterfaceRoot);

    const uint32_t dhcp =
        registry.ReadDword(cardSettingsKey, CardValue::kDhcp, kDefaultDhcp, configurationRoot);
    if (dhcp == kFixedAddresses) {
        (void)registry.WriteDword(interfaceKey, TcpipValue::kEnableDhcp, 0, kInterfaceRoot);
        (void)registry.WriteString(interfaceKey, TcpipValue::kNameserver,
                                   readAddress(CardValue::kDns1), kInterfaceRoot);
        (void)registry.WriteMultiString(interfaceKey, TcpipValue::kDefaultGateway,
                                        {readAddress(CardValue::kGateway)}, kInterfaceRoot);
        (void)registry.WriteMultiString(interfaceKey, TcpipValue::kIpAddress,
                                        {readAddress(CardValue::kIp)}, kInterfaceRoot);
        (void)registry.WriteMultiString(interfaceKey, TcpipValue::kSubnetMask,
                                        {readAddress(CardValue::kNetmask)}, kInterfaceRoot);
    } else {
        (void)registry.WriteDword(interfaceKey, TcpipValue::kEnableDhcp, 1, kInterfaceRoot);
        (void)registry.WriteString(interfaceKey, TcpipValue::kNameserver, "", kInterfaceRoot);
        // An empty list deletes the value: automatic configuration has no
        // fixed gateway.
        (void)registry.WriteMultiString(interfaceKey, TcpipValue::kDefaultGateway, {},
                                        kInterfaceRoot);
        (void)registry.WriteMultiString(interfaceKey, TcpipValue::kIpAddress, {kNoAddress},
                                        kInterfaceRoot);
        (void)registry.WriteMultiString(interfaceKey, TcpipValue::kSubnetMask, {kNoAddress},
                                        kInterfaceRoot);
    }
}

}  // namespace flipset
