// The machine's current state in every area a run can change, read through
// the same platform services the run writes through: the system files whole,
// the desktop values, the master volume, the default printer, the proxy, the
// start page, the cards' state and TCP/IP values, and whether named services
// run.
//
// Whatever is missing is recorded as missing, so that putting a state back
// removes what a run added.
#pragma once

#include "base/Text.h"
#include "store/Registry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace flipset {

class DesktopPlatform;
class FileSystem;
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

struct CardState {
    std::string cardNumber;
    std::string description;
    std::string serviceName;  // empty: the card has no interface key
    bool enabled = false;
    std::vector<ValueState> interfaceValues;
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

// What a capture reads.
struct CaptureScope {
    bool files = false;
    bool desktop = false;
    bool proxy = false;
    bool startPage = false;
    bool cards = false;
    StringList cardNumbers;
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
