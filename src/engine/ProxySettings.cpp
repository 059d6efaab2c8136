#include "engine/ProxySettings.h"

#include "engine/ConnectionSettings.h"
#include "store/ConfigurationSchema.h"

namespace flipset {

namespace {

constexpr RegistryRoot kProxyRoot = RegistryRoot::CurrentUser;

ConnectionSettings UpdatedRecord(const ProxySetting& setting, const RegistryValue* record)
{
    // A record that is not there, or does not read, is replaced by a new one.
    ConnectionSettings settings;
    if (record != nullptr && record->type == static_cast<uint32_t>(RegistryValueType::Binary))
        (void)DecodeConnectionSettings(record->data, settings);
    ++settings.counter;
    // Auto-detection and any flag of another program stay as they were; a
    // direct connection stays allowed, as the system's own page keeps it.
    settings.flags &= ~(ConnectionFlag::kProxy | ConnectionFlag::kAutoConfigUrl);
    settings.flags |= ConnectionFlag::kDirect;
    if (setting.enable)
        settings.flags |= ConnectionFlag::kProxy;
    if (!setting.script.empty())
        settings.flags |= ConnectionFlag::kAutoConfigUrl;
    settings.proxyServer = setting.server;
    settings.proxyBypass = setting.bypass;
    settings.autoConfigUrl = setting.script;
    return settings;
}

bool Write(CRegistry registry, const ProxyWrite& write)
{
    if (!write.remove)
        return registry.WriteValue(write.key, write.name, write.value, kProxyRoot);
    (void)registry.DeleteValue(write.key, write.name, kProxyRoot);
    RegistryValue left;
    return !registry.ReadValue(write.key, write.name, left, kProxyRoot);
}

}  // namespace

bool ReadProxySetting(const RunContext& ctx, ProxySetting& setting)
{
    setting = ProxySetting();
    if (!ctx.HasValue(ConfigurationValue::kProxyEnable))
        return false;
    setting.enable = ctx.ReadDword(ConfigurationValue::kProxyEnable, 0) != 0;
    setting.server = ctx.ReadString(ConfigurationValue::kProxyServer, "");
    setting.bypass = ctx.ReadString(ConfigurationValue::kProxyOverride, "");
    setting.script = ctx.ReadString(ConfigurationValue::kAutoConfigUrl, "");
    return true;
}

std::vector<ProxyWrite> PlannedProxyWrites(const ProxySetting& setting, const RegistryValue* record)
{
    RegistryValue recordValue;
    recordValue.type = static_cast<uint32_t>(RegistryValueType::Binary);
    recordValue.data = EncodeConnectionSettings(UpdatedRecord(setting, record));
    return {
        {kInternetSettingsKey, kProxyEnableValue, false,
         RegistryValue::Dword(setting.enable ? 1 : 0)},
        {kInternetSettingsKey, kProxyServerValue, false, RegistryValue::String(setting.server)},
        {kInternetSettingsKey, kProxyOverrideValue, false, RegistryValue::String(setting.bypass)},
        {kInternetSettingsKey, kAutoConfigUrlValue, setting.script.empty(),
         setting.script.empty() ? RegistryValue() : RegistryValue::String(setting.script)},
        {kConnectionsKey, kConnectionSettingsValue, false, recordValue},
    };
}

bool ReadConnectionRecord(CRegistry registry, RegistryValue& record)
{
    const bool read =
        registry.ReadValue(kConnectionsKey, kConnectionSettingsValue, record, kProxyRoot);
    if (!read)
        record = RegistryValue();
    return read;
}

void ApplyProxySettings(RunContext& ctx, InternetSettingsNotifier& notifier)
{
    ProxySetting setting;
    if (!ReadProxySetting(ctx, setting))
        return;
    ctx.Host().SetCaption(kProxyCaption);
    const CRegistry registry = ctx.Registry();
    RegistryValue record;
    const bool hasRecord = ReadConnectionRecord(registry, record);
    bool failed = false;
    for (const ProxyWrite& write : PlannedProxyWrites(setting, hasRecord ? &record : nullptr))
        failed |= !Write(registry, write);
    notifier.SettingsChanged();
    if (failed)
        ctx.Host().ShowError("Error writing the proxy settings");
}

}  // namespace flipset
