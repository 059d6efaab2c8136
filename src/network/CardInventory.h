// The network cards as the operating system records them in the registry:
// which cards exist, how each is described, which service name carries its
// TCP/IP settings, which Plug and Play instance stands behind it, and whether
// that instance is disabled. Nothing here writes, and nothing is cached:
// every call reads the records afresh.
//
// A card is known everywhere by its card number, the name of its subkey under
// the card list key; it is opaque text. Every key here lies under
// HKEY_LOCAL_MACHINE, and every read falls back to its default silently.
#pragma once

#include "store/Registry.h"

#include <string>
#include <vector>

namespace flipset {

// The operating system's keys, all under HKEY_LOCAL_MACHINE.
constexpr const char* kNetworkCardsKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr const char* kNetworkClassesKey = "SYSTEM\\CurrentControlSet\\Control\\Network";
constexpr const char* kDeviceEnumKey = "SYSTEM\\CurrentControlSet\\Enum";

namespace NetworkCardValue {
constexpr const char* kDescription = "Description";      // REG_SZ, under the card's key
constexpr const char* kServiceName = "ServiceName";      // REG_SZ, under the card's key
constexpr const char* kPnpInstanceId = "PnpInstanceID";  // REG_SZ, under a connection key
constexpr const char* kDisableCount = "DisableCount";    // REG_DWORD, under a device's Control
}  // namespace NetworkCardValue

// The card's own key below the card list.
std::string NetworkCardKey(const std::string& cardNumber);
// The connection key of a service name below one network class.
std::string NetworkConnectionKey(const std::string& classSubkey, const std::string& serviceName);
// The Control key of a Plug and Play instance, which holds its "DisableCount".
std::string DeviceControlKey(const std::string& pnpInstanceId);

struct NetworkCard {
    std::string number;       // the subkey name
    std::string description;  // "Description", empty when missing
};

// Every card, in the order in which the registry enumerates the card list.
std::vector<NetworkCard> ListNetworkCards(CRegistry registry);

// The card's "Description"; empty when missing.
std::string GetCardDescription(CRegistry registry, const std::string& cardNumber);
// The card's "ServiceName"; empty when missing.
std::string GetCardServiceName(CRegistry registry, const std::string& cardNumber);

// The first non-empty "PnpInstanceID" of the card's connection, looking
// through the network classes in enumeration order; empty when none has one.
std::string GetCardPnpInstanceId(CRegistry registry, const std::string& cardNumber);

// True unless the instance's "DisableCount", read as a signed 32-bit number,
// is 1 or more: a missing key or value, 0 and negative counts mean enabled.
bool IsCardEnabled(CRegistry registry, const std::string& pnpInstanceId);

// IsCardEnabled of the card's Plug and Play instance.
bool IsCardNumberEnabled(CRegistry registry, const std::string& cardNumber);

}  // namespace flipset
