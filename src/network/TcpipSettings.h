// Copies one card's stored TCP/IP settings into the operating system's
// interface key of that card: fixed addresses, or automatic configuration.
// The settings take effect when the card is next enabled. This is how the
// Windows XP generation takes its settings; the key has no place for IPv6
// name servers, so they are left out here.
#pragma once

#include "network/CardTcpip.h"
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

// The name servers of a "Nameserver" value (separated by spaces or commas,
// as Windows and other programs write it), each in its canonical form,
// without 0.0.0.0 and entries that are no address, at most kMaxDnsServers.
std::vector<std::string> ParseNameservers(std::string value);

// An address stored with its first octet in the most significant byte, as
// "a.b.c.d" (0xC0A80001 gives "192.168.0.1").
std::string DottedAddress(uint32_t address);

// One value of an interface key as a card's settings leave it.
using TcpipWrite = KeyValueWrite;

// What ApplyCardTcpip writes, in its order, for the settings.
std::vector<TcpipWrite> PlannedCardTcpip(const CardTcpip& tcpip);
// The same for the card settings key (ReadCardTcpip).
std::vector<TcpipWrite> PlannedCardTcpip(const COpenKey& cardSettings);

// Reads the card settings key (under the configuration root) and writes the
// interface key (under HKEY_LOCAL_MACHINE, created when missing). Fixed
// addresses write every address with its mask (at least one, "0.0.0.0" when
// there is none), the gateway ("0.0.0.0" for none) and the IPv4 name
// servers ("0.0.0.0" for none, empty with DNS from DHCP); automatic
// configuration writes "0.0.0.0" as the address and mask, removes
// "DefaultGateway" and writes the IPv4 servers only when the card has its
// own. Failed writes are not reported; every value is attempted.
void ApplyCardTcpip(CRegistry registry, RegistryRoot configurationRoot,
                    const std::string& cardSettingsKey, const std::string& interfaceKey);

}  // namespace flipset
