#include "network/CardInventory.h"

#include <cstdint>

namespace flipset {

namespace {

constexpr RegistryRoot kRoot = RegistryRoot::LocalMachine;

}  // namespace

std::string NetworkCardKey(const std::string& cardNumber)
{
    return std::string(kNetworkCardsKey) + "\\" + cardNumber;
}

std::string NetworkConnectionKey(const std::string& classSubkey, const std::string& serviceName)
{
    return std::string(kNetworkClassesKey) + "\\" + classSubkey + "\\" + serviceName +
           "\\Connection";
}

std::string DeviceControlKey(const std::string& pnpInstanceId)
{
    return std::string(kDeviceEnumKey) + "\\" + pnpInstanceId + "\\Control";
}

std::vector<NetworkCard> ListNetworkCards(CRegistry registry)
{
    StringList numbers = registry.EnumSubKeys(kNetworkCardsKey, kRoot);
    std::vector<NetworkCard> cards;
    cards.reserve(numbers.size());
    for (const std::string& number : numbers)
        cards.push_back({number, GetCardDescription(registry, number)});
    return cards;
}

std::string GetCardDescription(CRegistry registry, const std::string& cardNumber)
{
    return registry.ReadString(NetworkCardKey(cardNumber), NetworkCardValue::kDescription, "",
                               kRoot);
}

std::string GetCardServiceName(CRegistry registry, const std::string& cardNumber)
{
    return registry.ReadString(NetworkCardKey(cardNumber), NetworkCardValue::kServiceName, "",
                               kRoot);
}

std::string GetCardPnpInstanceId(CRegistry registry, const std::string& cardNumber)
{
    // An empty service name goes into the path as it is: the keys looked up
    // then do not exist and the result is empty.
    const std::string serviceName = GetCardServiceName(registry, cardNumber);
    StringList classes = registry.EnumSubKeys(kNetworkClassesKey, kRoot);
    for (const std::string& networkClass : classes) {
        std::string id = registry.ReadString(NetworkConnectionKey(networkClass, serviceName),
                                             NetworkCardValue::kPnpInstanceId, "", kRoot);
        if (!id.empty())
            return id;
    }
    return std::string();
}

bool IsCardEnabled(CRegistry registry, const std::string& pnpInstanceId)
{
    const uint32_t stored = registry.ReadDword(DeviceControlKey(pnpInstanceId),
                                               NetworkCardValue::kDisableCount, 0, kRoot);
    return static_cast<int32_t>(stored) <= 0;
}

bool IsCardNumberEnabled(CRegistry registry, const std::string& cardNumber)
{
    return IsCardEnabled(registry, GetCardPnpInstanceId(registry, cardNumber));
}

}  // namespace flipset
