// Copies one card's stored TCP/IP settings into the operating system's
// interface key of that card: fixed addresses, or automatic configuration.
// The settings take effect when the card is next enabled.
#pragma once

#include "store/Registry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace flipset {

// Under HKEY_LOCAL_MACHINE: one subkey per interface, named by the card's
// service name.
constexpr const char* kTcpipInterfacesKey =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";

// The values written into an interface key.
namespace TcpipValue {
constexpr const char* kDomain = "Domain";                  // REG_SZ
constexpr const char* kEnableDhcp = "EnableDHCP";          // REG_DWORD
constexpr const char* kNameserver = "Nameserver";          // REG_SZ
constexpr const char* kDefaultGateway = "DefaultGateway";  // REG_MULTI_SZ
constexpr const char* kIpAddress = "IPAddress";            // REG_MULTI_SZ
constexpr const char* kSubnetMask = "SubnetMask";          // REG_MULTI_SZ
}  // namespace TcpipValue

// The interface key of a service name.
std::string TcpipInterfaceKey(const std::string& serviceName);

// An address stored with its first octet in the most significant byte, as
// "a.b.c.d" (0xC0A80001 gives "192.168.0.1").
std::string DottedAddress(uint32_t address);

// One value of an interface key as a card's settings leave it: written with
// its type and bytes, or removed.
struct TcpipWrite {
    const char* name;
    bool remove;
    RegistryValue value;
};

// What ApplyCardTcpip writes, in its order, for the card settings key.
std::vector<TcpipWrite> PlannedCardTcpip(const COpenKey& cardSettings);

// Reads the card settings key (under the configuration root) and writes the
// interface key (under HKEY_LOCAL_MACHINE, created when missing). "DHCP" 0
// writes the stored addresses, one of each; anything else, or no "DHCP" at
// all, writes automatic configuration and removes "DefaultGateway". Failed
// writes are not reported; every value is attempted.
void ApplyCardTcpip(CRegistry registry, RegistryRoot configurationRoot,
                    const std::string& cardSettingsKey, const std::string& interfaceKey);

}  // namespace flipset
