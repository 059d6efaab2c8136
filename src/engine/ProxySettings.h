// The Proxy phase: the current user's proxy as a configuration sets it, in
// the Internet Settings values that WinINet reads and in the connection
// record that WinHTTP reads, then a word to the running programs that the
// settings changed. A configuration without "ProxyEnable" leaves the proxy
// alone.
#pragma once

#include "engine/RunContext.h"
#include "store/Registry.h"

#include <string>
#include <vector>

namespace flipset {

// What the phase needs of the platform: telling the running programs that
// the settings changed. It is advice to them; whether they took it is not
// reported, and its failure is no fault of the run.
class InternetSettingsNotifier {
public:
    InternetSettingsNotifier() = default;
    InternetSettingsNotifier(const InternetSettingsNotifier&) = delete;
    InternetSettingsNotifier& operator=(const InternetSettingsNotifier&) = delete;
    virtual ~InternetSettingsNotifier() = default;

    virtual void SettingsChanged() = 0;
};

// The current user's proxy values, under HKEY_CURRENT_USER.
constexpr const char* kInternetSettingsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr const char* kConnectionsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
constexpr const char* kProxyEnableValue = "ProxyEnable";
constexpr const char* kProxyServerValue = "ProxyServer";
constexpr const char* kProxyOverrideValue = "ProxyOverride";
constexpr const char* kAutoConfigUrlValue = "AutoConfigURL";
constexpr const char* kConnectionSettingsValue = "DefaultConnectionSettings";

constexpr const char* kProxyCaption = "Proxy settings";

// A configuration's proxy.
struct ProxySetting {
    bool enable = false;
    std::string server;
    std::string bypass;
    std::string script;  // the automatic configuration script's address; empty for none
};

// The selected configuration's proxy; false when it has no "ProxyEnable"
// value, and the proxy is left as it is.
bool ReadProxySetting(const RunContext& ctx, ProxySetting& setting);

// A value the phase writes or, for remove, deletes.
struct ProxyWrite {
    const char* key;  // kInternetSettingsKey or kConnectionsKey
    const char* name;
    bool remove;
    RegistryValue value;
};

// What the phase writes, in its order, over the connection record stored
// now (none when record is null). A record that cannot be read is replaced
// by a new one.
std::vector<ProxyWrite> PlannedProxyWrites(const ProxySetting& setting,
                                           const RegistryValue* record);

// The connection record as it is stored now; false when there is none.
bool ReadConnectionRecord(CRegistry registry, RegistryValue& record);

// The phase. Does nothing, not even its caption, for a configuration
// without "ProxyEnable"; a value that cannot be written is reported once
// the others are written and the programs told.
void ApplyProxySettings(RunContext& ctx, InternetSettingsNotifier& notifier);

}  // namespace flipset
