// The machine's current state in every area a run can change, read through
// the same platform services the run writes through: the system files whole,
// the desktop values, the master volume, the default printer, the proxy, the
// start page, the cards' state and TCP/IP values (their interface keys', or
// where the system sets them on the live adapter, what the adapter shows),
// and whether named services run.
//
// Whatever is missing is recorded as missing, so that putting a state back
// removes what a run added.
#pragma once

#include "base/Text.h"
#include "network/CardTcpip.h"
#include "store/Registry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace flipset {

class DesktopPlatform;
class FileSystem;
class InterfaceConfigurator;
struct AdapterSnapshot;
class InternetSettingsNotifier;
class RunContext;
class ServiceManager;
class SystemInfo;

// A registry value as it was: its type and bytes, or missing.
struct ValueState {
    std::string name;
    bool present = false;
    RegistryValue value;

    bool operator==(const ValueState& other) const
    {
        return name == other.name && present == other.present && (!present || value == other.value);
    }
};

struct FileState {
    std::string fileName;  // kHostsFileName or kLmhostsFileName
    std::string path;
    bool exists = false;
    std::string bytes;

    bool operator==(const FileState& other) const
    {
        return fileName == other.fileName && path == other.path && exists == other.exists &&
               bytes == other.bytes;
    }
};

struct DesktopState {
    // Under the desktop key: the wallpaper values a run clears, then its
    // layout values.
    std::vector<ValueState> values;
    ValueState printer;
    // Without a usable mixer there is no volume to record or put back.
    bool hasVolume = false;
    uint32_t volume = 0;
};

struct ProxyState {
    // The Internet Settings values, in the order of kProxySettingsValueNames.
    std::vector<ValueState> settings;
    // The connection record under the Connections key.
    ValueState record;
};

// A card's TCP/IP values as its live adapter shows them, in the form a
// card's settings take (CardTcpip), with the adapter's GUID:
// - DHCP, or the fixed addresses with their masks and the first gateway;
// - the name servers it lists, IPv4 ones first, each family in its order,
//   as servers of its own; only an adapter on DHCP whose interface key holds
//   no "Nameserver" of its own takes DNS from DHCP (the adapter list does not
//   tell DHCP's servers from others; under Wine it never shows DHCP and lists
//   resolv.conf's servers, so they are recorded as the adapter's own);
// - the suffix of its interface key's "Domain", where the system keeps the
//   adapter's own (the adapter list shows DHCP's there too).
struct AdapterState {
    // false: the adapter was not listed (a disabled card's, or gone), and
    // nothing but its GUID is known.
    bool listed = false;
    CardTcpip tcpip;
};

// The card's values as its adapter shows them once they have all taken:
// without addresses and gateway on DHCP, the servers IPv4 first (none when
// they come from DHCP), DNS from DHCP only with DHCP.
CardTcpip AsAdapterShowsIt(const CardTcpip& card);

// What AdapterState records of the adapter, with its interface key.
CardTcpip TcpipShownBy(const AdapterSnapshot& adapter, const COpenKey& interfaceKey);

struct CardState {
    std::string cardNumber;
    std::string description;
    std::string serviceName;  // empty: the card has no interface key
    bool enabled = false;
    std::vector<ValueState> interfaceValues;
    // Where the system sets the values on the live adapter (10 and later):
    // what the adapter showed, instead of interfaceValues; the card is then
    // the one the card loop finds (ResolveAdapterCard).
    std::optional<AdapterState> adapter = std::nullopt;
};

struct ServiceRunState {
    std::string name;
    bool running = false;
};

struct MachineState {
    bool hasFiles = false;
    std::vector<FileState> files;
    bool hasDesktop = false;
    DesktopState desktop;
    bool hasProxy = false;
    ProxyState proxy;
    bool hasStartPage = false;
    ValueState startPage;
    bool hasCards = false;
    std::vector<CardState> cards;
    bool hasServices = false;
    std::vector<ServiceRunState> services;
};

// A card a capture reads: a card settings key's number, or the machine's
// list's, with the "AdapterGUID" that key stores (empty: none).
struct CardInScope {
    std::string number;
    std::string storedGuid;
};

// What a capture reads.
struct CaptureScope {
    bool files = false;
    bool desktop = false;
    bool proxy = false;
    bool startPage = false;
    bool cards = false;
    std::vector<CardInScope> cardList;
    bool services = false;
    StringList serviceNames;
};

// The platform services a capture reads through, and a restore writes
// through.
struct StatePlatform {
    CRegistry registry;
    FileSystem& files;
    DesktopPlatform& desktop;
    ServiceManager& services;
    InternetSettingsNotifier& internet;
    // The live adapters where the system sets a card's TCP/IP values on
    // them (10 and later); null where the interface keys hold them.
    InterfaceConfigurator* interfaces = nullptr;
};

// The values of an interface key that a card's settings write.
extern const char* const kInterfaceValueNames[6];

// The Internet Settings values that the Proxy phase writes.
extern const char* const kProxySettingsValueNames[4];

// What the selected configuration's run will touch with the host's option
// boxes as they are: each area whose box is checked and which the platform
// has what it needs for (the files, the desktop, the proxy when the
// configuration sets one, the configuration's cards, the services of its two
// lists), and the start page (always: a run applies it whatever the boxes
// say).
CaptureScope RunScope(const RunContext& ctx, const SystemInfo& system);
// The same, read through the selected configuration's key opened once
// (RunContext::OpenConfiguration).
CaptureScope RunScope(const RunContext& ctx, const COpenKey& configuration,
                      const SystemInfo& system);

// Files, desktop, proxy, start page and every card of the machine's card
// list.
CaptureScope CurrentStateScope(CRegistry registry);

// Reads the state of the scope. False, with the reason, when a part that
// exists could not be read (a system file that cannot be opened): a state
// with a gap could not be put back faithfully.
bool CaptureMachineState(const StatePlatform& platform, const CaptureScope& scope,
                         MachineState& state, std::string& error);

// The scope of a captured state, for capturing the same parts again.
CaptureScope ScopeOf(const MachineState& state);

}  // namespace flipset
