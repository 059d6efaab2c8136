// The configurations the transfer benchmarks work on: each with every area
// filled as a user fills it (21 hosts lines, an lmhosts line, the desktop
// values, three programs, services to stop and start) and the settings of
// the machine's one card, as a capture stores them.
#pragma once

#include "store/ConfigurationStore.h"
#include "support/ConfigurationSeed.h"

#include <string>

namespace flipset {

constexpr int kBenchmarkConfigurations = 1000;
// The benchmark's own card record, under HKEY_LOCAL_MACHINE.
constexpr const char* kBenchmarkCardNumber = "77";
constexpr const char* kBenchmarkCardDescription = "Benchmark Adapter";

inline void SeedBenchmarkConfiguration(CRegistry registry, int number, RegistryRoot root)
{
    const std::string n = std::to_string(number);
    ConfigurationStore(registry).SetConfigurationName(number, "Site " + n, root);
    const std::string key = ConfigurationKeyPath(number);
    for (const char* option : {"dofiles", "donetwork", "dodesktop", "dorun", "doservices"})
        registry.WriteDword(key, option, number % 2, root);
    StringList hosts{"127.0.0.1 localhost"};
    for (int i = 1; i <= 20; ++i)
        hosts.push_back("10.1." + std::to_string(i) + "." + std::to_string(number % 250) +
                        " server" + std::to_string(i) + ".site" + n + ".example");
    StorePackedList(registry, key, "Hostfile", hosts, root);
    StorePackedList(registry, key, "LMHostfile", {"10.1.1.1 PDC #PRE #DOM:SITE" + n}, root);
    registry.WriteString(key, "Wallpaper", "C:\\Windows\\Web\\site" + n + ".bmp", root);
    registry.WriteDword(key, "WallpaperPosition", number % 3, root);
    registry.WriteDword(key, "Volume", static_cast<uint32_t>(number * 61 % 65536), root);
    registry.WriteString(key, "DefPrinter", "Laser " + n + ",winspool,Ne0" + n + ":", root);
    registry.WriteString(key, "IEHOME", "http://intranet.site" + n + ".example/", root);
    StoreCodedList(registry, key, "Run",
                   {"C:\\Tools\\sync.exe [/site " + n + " /quiet]", "notepad.exe",
                    "C:\\Program Files\\Mail\\mail.exe [-profile site" + n + "]"},
                   root);
    StoreCodedList(registry, key, "ServicesStop", {"Spooler", "W32Time"}, root);
    StoreCodedList(registry, key, "ServicesStart", {"BITS", "Browser"}, root);
    const std::string card = key + "\\" + kBenchmarkCardNumber;
    registry.WriteString(card, "NIC", "true", root);
    registry.WriteDword(card, "Disabled", 0, root);
    registry.WriteDword(card, "DHCP", 0, root);
    registry.WriteDword(card, "IP", 0x0A010000u + static_cast<uint32_t>(number), root);
    registry.WriteDword(card, "Netmask", 0xFFFFFF00u, root);
    registry.WriteDword(card, "Gateway", 0x0A010001u, root);
    registry.WriteDword(card, "DNS1", 0x0A010002u, root);
    registry.WriteString(card, "DOMAIN", "site" + n + ".example", root);
}

}  // namespace flipset
