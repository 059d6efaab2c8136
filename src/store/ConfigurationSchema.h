// The registry layout of the program's own data: the key paths, the value
// names of a configuration key and of its card settings keys, and the
// defaults with which those values are read. Every other part of the program
// takes these names from here; the texts are stored data and stay letter for
// letter as they are.
#pragma once

#include <cstdint>

namespace flipset {

// Under HKEY_LOCAL_MACHINE and, for the per-user settings, the configuration
// root (see ProgramSettings).
constexpr const char* kProgramSettingsKey = "Software\\Quillon\\Flipset";
// Under the configuration root: one subkey per configuration, named by its
// number in decimal.
constexpr const char* kConfigurationsKey = "Software\\Quillon\\Flipset\\Configurations";

// Under the program settings key of the configuration root: the machine's
// state before the last run, which an undo puts back (REG_BINARY, one value,
// so that it is written whole or not at all).
constexpr const char* kLastRunSnapshotValue = "LastRunSnapshot";

// Values of a configuration key. Each area's option value ("dofiles", ...) is
// in its descriptor, store/Areas.h.
namespace ConfigurationValue {
constexpr const char* kName = "Name";                            // REG_SZ
constexpr const char* kHostfile = "Hostfile";                    // packed list, one entry
constexpr const char* kLMHostfile = "LMHostfile";                // packed list, one entry
constexpr const char* kStartPage = "IEHOME";                     // REG_SZ
constexpr const char* kWallpaper = "Wallpaper";                  // REG_SZ, empty for none
constexpr const char* kWallpaperPosition = "WallpaperPosition";  // REG_DWORD
constexpr const char* kVolume = "Volume";                        // REG_DWORD, 0 to 65535
constexpr const char* kDefaultPrinter = "DefPrinter";            // REG_SZ
constexpr const char* kPrograms = "Run";                         // packed list, coded entries
constexpr const char* kServicesStop = "ServicesStop";            // packed list, coded entries
constexpr const char* kServicesStart = "ServicesStart";          // packed list, coded entries
// The proxy area; a configuration without "ProxyEnable" leaves the proxy alone.
constexpr const char* kProxyEnable = "ProxyEnable";      // REG_DWORD, 0 or 1
constexpr const char* kProxyServer = "ProxyServer";      // REG_SZ, "host:port" or per scheme
constexpr const char* kProxyOverride = "ProxyOverride";  // REG_SZ, ";"-separated, "<local>"
constexpr const char* kAutoConfigUrl = "AutoConfigURL";  // REG_SZ, empty for none
// The location: conditions on the network the machine is on, all of which
// must hold; an empty or missing text is no condition. A configuration
// without "LocationMode", or with 0, has no location.
constexpr const char* kLocationGateway = "LocationGateway";      // REG_SZ, "aa-bb-cc-dd-ee-ff"
constexpr const char* kLocationSubnet = "LocationSubnet";        // REG_SZ, "10.1.0.0/16"
constexpr const char* kLocationDnsSuffix = "LocationDnsSuffix";  // REG_SZ, any case
constexpr const char* kLocationAdapter = "LocationAdapter";      // REG_SZ, "{GUID}"
constexpr const char* kLocationWifi = "LocationWifi";            // REG_SZ, the network's name
constexpr const char* kLocationMode = "LocationMode";            // REG_DWORD, kLocation*
}  // namespace ConfigurationValue

// "LocationMode": what entering the location does.
constexpr uint32_t kLocationOff = 0;
constexpr uint32_t kLocationAskFirst = 1;
constexpr uint32_t kLocationSwitch = 2;

// "WallpaperPosition": 0 tile, 1 grow, 2 center.
constexpr uint32_t kWallpaperTile = 0;
constexpr uint32_t kWallpaperGrow = 1;
constexpr uint32_t kWallpaperCenter = 2;

// What a configuration that never set the value reads.
constexpr uint32_t kDefaultWallpaperPosition = kWallpaperTile;
constexpr uint32_t kDefaultVolume = 32767;

// Values of a card settings key, the subkey of a configuration key named by
// the card number.
namespace CardValue {
constexpr const char* kNic = "NIC";            // REG_SZ, always kNicMarker
constexpr const char* kDisabled = "Disabled";  // REG_DWORD, 1 to disable the card
constexpr const char* kDhcp = "DHCP";          // REG_DWORD, 1 for DHCP
constexpr const char* kIp = "IP";              // REG_DWORD, first octet most significant
constexpr const char* kNetmask = "Netmask";    // REG_DWORD, same form
constexpr const char* kGateway = "Gateway";    // REG_DWORD, same form
constexpr const char* kDns1 = "DNS1";          // REG_DWORD, same form
constexpr const char* kDomain = "DOMAIN";      // REG_SZ
constexpr const char* kNicMarker = "true";
// A card's further addresses and name servers, and its adapter. A card
// without them reads and runs as one with only the values above. "IP",
// "Netmask" and "DNS1" stay the first address and the first IPv4 server, so
// that a program that knows only those still reads the card right.
constexpr const char* kMoreAddresses = "MoreAddresses";  // REG_MULTI_SZ, "a.b.c.d/m.m.m.m" each
constexpr const char* kDnsServers = "DNSServers";        // REG_MULTI_SZ, IPv4 and IPv6 texts
constexpr const char* kDnsFromDhcp = "DNSFromDHCP";      // REG_DWORD, missing: as "DHCP"
constexpr const char* kAdapterGuid = "AdapterGUID";      // REG_SZ, "{...}"
}  // namespace CardValue

}  // namespace flipset
