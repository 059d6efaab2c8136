#include "state/MachineState.h"

#include "engine/DesktopSettings.h"
#include "engine/NetworkPhase.h"
#include "engine/ProxySettings.h"
#include "engine/RunContext.h"
#include "engine/ServiceControl.h"
#include "engine/SystemFiles.h"
#include "engine/SystemInfo.h"
#include "network/CardInventory.h"
#include "network/CardReadBack.h"
#include "network/InterfaceConfigurator.h"
#include "network/NetshCommands.h"
#include "network/TcpipSettings.h"
#include "store/ConfigurationSchema.h"

namespace flipset {

const char* const kInterfaceValueNames[6] = {
    TcpipValue::kDomain,         TcpipValue::kEnableDhcp, TcpipValue::kNameserver,
    TcpipValue::kDefaultGateway, TcpipValue::kIpAddress,  TcpipValue::kSubnetMask,
};

const char* const kProxySettingsValueNames[4] = {
    kProxyEnableValue,
    kProxyServerValue,
    kProxyOverrideValue,
    kAutoConfigUrlValue,
};

namespace {

constexpr const char* kSystemFileNames[] = {kHostsFileName, kLmhostsFileName};

ValueState ReadValueState(const COpenKey& key, const char* name)
{
    ValueState state;
    state.name = name;
    state.present = key.ReadValue(name, state.value);
    if (!state.present)
        state.value = RegistryValue();
    return state;
}

// Whether a service counts as running: anything but stopped or on its way
// there.
bool IsRunningState(uint32_t state)
{
    return state != ServiceState::kStopped && state != ServiceState::kStopPending &&
           state != ServiceState::kNone;
}

void AddListedServices(const COpenKey& configuration, const char* valueName, StringList& names)
{
    StringList entries;
    if (!configuration.ReadCodedList(valueName, entries))
        return;
    for (const std::string& name : entries) {
        bool listed = false;
        for (const std::string& known : names)
            listed = listed || EqualsNoCase(known, name);
        if (!listed)
            names.push_back(name);
    }
}

bool CaptureFiles(FileSystem& files, std::vector<FileState>& states, std::string& error)
{
    for (const char* fileName : kSystemFileNames) {
        FileState file;
        file.fileName = fileName;
        file.path = SystemFilePath(files, fileName);
        const FileRead read = files.ReadFileContent(file.path, file.bytes);
        if (read == FileRead::Failed) {
            error = "the file " + file.path + " cannot be read";
            return false;
        }
        file.exists = read == FileRead::Read;
        states.push_back(file);
    }
    return true;
}

DesktopState CaptureDesktop(CRegistry registry, DesktopPlatform& desktop)
{
    DesktopState state;
    const COpenKey desktopKey = registry.OpenForReading(kDesktopKey, RegistryRoot::CurrentUser);
    for (const char* name : kOldWallpaperValues)
        state.values.push_back(ReadValueState(desktopKey, name));
    for (const char* name : {kWallpaperStyleValue, kTileWallpaperValue})
        state.values.push_back(ReadValueState(desktopKey, name));
    state.printer = ReadValueState(
        registry.OpenForReading(kWindowsKey, RegistryRoot::CurrentUser), kDefaultPrinterValue);
    state.hasVolume = desktop.GetMasterVolume(state.volume) == MixerResult::Done;
    if (!state.hasVolume)
        state.volume = 0;
    return state;
}

ProxyState CaptureProxy(CRegistry registry)
{
    ProxyState state;
    const COpenKey settings =
        registry.OpenForReading(kInternetSettingsKey, RegistryRoot::CurrentUser);
    for (const char* name : kProxySettingsValueNames)
        state.settings.push_back(ReadValueState(settings, name));
    state.record = ReadValueState(
        registry.OpenForReading(kConnectionsKey, RegistryRoot::CurrentUser), kConnectionSettingsValue);
    return state;
}

CardState CaptureCard(CRegistry registry, const std::string& cardNumber)
{
    CardState card;
    card.cardNumber = cardNumber;
    card.description = GetCardDescription(registry, cardNumber);
    card.serviceName = GetCardServiceName(registry, cardNumber);
    card.enabled = IsCardNumberEnabled(registry, cardNumber);
    if (!card.serviceName.empty()) {
        const COpenKey key = registry.OpenForReading(TcpipInterfaceKey(card.serviceName),
                                                     RegistryRoot::LocalMachine);
        for (const char* name : kInterfaceValueNames)
            card.interfaceValues.push_back(ReadValueState(key, name));
    }
    return card;
}

CardState CaptureCardOnAdapter(CRegistry registry, const std::vector<AdapterSnapshot>& adapters,
                               const CardInScope& entry)
{
    const AdapterCard resolved = ResolveAdapterCard(registry, entry.number, entry.storedGuid);
    CardState card;
    card.cardNumber = resolved.number;
    card.description = resolved.description;
    card.serviceName = GetCardServiceName(registry, resolved.number);
    card.enabled = IsCardNumberEnabled(registry, resolved.number);
    AdapterState state;
    state.tcpip.adapterGuid = resolved.guid;
    const AdapterSnapshot* adapter =
        resolved.guid.empty() ? nullptr : FindAdapterByGuid(adapters, resolved.guid);
    if (adapter) {
        const COpenKey key =
            registry.OpenForReading(TcpipInterfaceKey(resolved.guid), RegistryRoot::LocalMachine);
        state.listed = true;
        state.tcpip = TcpipShownBy(*adapter, key);
        state.tcpip.adapterGuid = resolved.guid;
    }
    card.adapter = state;
    return card;
}

}  // namespace

CardTcpip AsAdapterShowsIt(const CardTcpip& card)
{
    CardTcpip shown;
    shown.dhcp = card.dhcp;
    if (!card.dhcp) {
        shown.addresses = card.addresses;
        shown.gateway = card.gateway;
    }
    // A fixed adapter has no DHCP to take servers from: it lists none.
    shown.dnsFromDhcp = card.dhcp && card.dnsFromDhcp;
    if (!card.dnsFromDhcp) {
        for (bool ipv6 : {false, true}) {
            for (const IpAddress& server : DnsServersOf(card, ipv6)) {
                if (shown.dnsServers.size() < kMaxDnsServers)
                    shown.dnsServers.push_back(FormatIpAddress(server));
            }
        }
    }
    shown.suffix = card.suffix;
    shown.adapterGuid = card.adapterGuid;
    return shown;
}

CardTcpip TcpipShownBy(const AdapterSnapshot& adapter, const COpenKey& interfaceKey)
{
    CardTcpip card;
    card.dhcp = adapter.dhcp;
    card.addresses = adapter.addresses;
    card.gateway = adapter.gateways.empty() ? 0 : adapter.gateways.front();
    card.dnsFromDhcp =
        adapter.dhcp &&
        ParseNameservers(interfaceKey.ReadString(TcpipValue::kNameserver, "")).empty();
    for (bool ipv6 : {false, true}) {
        for (const IpAddress& server : AdapterDnsServers(adapter, ipv6))
            card.dnsServers.push_back(FormatIpAddress(server));
    }
    card.suffix = interfaceKey.ReadString(TcpipValue::kDomain, "");
    card.adapterGuid = adapter.guid;
    return AsAdapterShowsIt(card);
}

CaptureScope RunScope(const RunContext& ctx, const SystemInfo& system)
{
    return RunScope(ctx, ctx.OpenConfiguration(), system);
}

CaptureScope RunScope(const RunContext& ctx, const COpenKey& configuration,
                      const SystemInfo& system)
{
    const auto runs = [&ctx, &system](Area area) {
        return ctx.Host().IsOptionChecked(area) && IsAreaAvailable(area, system);
    };
    CaptureScope scope;
    scope.files = runs(Area::Files);
    scope.desktop = runs(Area::Desktop);
    // A configuration without a proxy leaves it alone, so nothing of it
    // needs to be put back.
    scope.proxy = runs(Area::Proxy) && ctx.HasValue(ConfigurationValue::kProxyEnable);
    scope.startPage = true;
    scope.cards = runs(Area::Network);
    if (scope.cards) {
        const CRegistry registry = ctx.Registry();
        for (const std::string& number : configuration.SubKeyNames()) {
            const std::string storedGuid =
                registry
                    .OpenForReading(ctx.ConfigurationKey() + "\\" + number, ctx.ConfigurationRoot())
                    .ReadString(CardValue::kAdapterGuid, "");
            scope.cardList.push_back({number, storedGuid});
        }
    }
    scope.services = runs(Area::Services);
    if (scope.services) {
        AddListedServices(configuration, ConfigurationValue::kServicesStop, scope.serviceNames);
        AddListedServices(configuration, ConfigurationValue::kServicesStart, scope.serviceNames);
    }
    return scope;
}

CaptureScope CurrentStateScope(CRegistry registry)
{
    CaptureScope scope;
    scope.files = true;
    scope.desktop = true;
    scope.proxy = true;
    scope.startPage = true;
    scope.cards = true;
    for (const NetworkCard& card : ListNetworkCards(registry))
        scope.cardList.push_back({card.number, std::string()});
    return scope;
}

bool CaptureMachineState(const StatePlatform& platform, const CaptureScope& scope,
                         MachineState& state, std::string& error)
{
    state = MachineState();
    state.hasFiles = scope.files;
    if (scope.files && !CaptureFiles(platform.files, state.files, error))
        return false;
    state.hasDesktop = scope.desktop;
    if (scope.desktop)
        state.desktop = CaptureDesktop(platform.registry, platform.desktop);
    state.hasProxy = scope.proxy;
    if (scope.proxy)
        state.proxy = CaptureProxy(platform.registry);
    state.hasStartPage = scope.startPage;
    if (scope.startPage)
        state.startPage = ReadValueState(
            platform.registry.OpenForReading(kBrowserMainKey, RegistryRoot::CurrentUser),
            kStartPageValue);
    state.hasCards = scope.cards;
    if (platform.interfaces && !scope.cardList.empty()) {
        const std::vector<AdapterSnapshot> adapters = platform.interfaces->ListAdapters();
        for (const CardInScope& entry : scope.cardList)
            state.cards.push_back(CaptureCardOnAdapter(platform.registry, adapters, entry));
    } else {
        for (const CardInScope& entry : scope.cardList)
            state.cards.push_back(CaptureCard(platform.registry, entry.number));
    }
    state.hasServices = scope.services;
    if (!scope.serviceNames.empty()) {
        const std::vector<uint32_t> states =
            QueryServiceStates(platform.services, scope.serviceNames);
        for (size_t i = 0; i < states.size(); ++i)
            state.services.push_back(
                ServiceRunState{scope.serviceNames[i], IsRunningState(states[i])});
    }
    return true;
}

CaptureScope ScopeOf(const MachineState& state)
{
    CaptureScope scope;
    scope.files = state.hasFiles;
    scope.desktop = state.hasDesktop;
    scope.proxy = state.hasProxy;
    scope.startPage = state.hasStartPage;
    scope.cards = state.hasCards;
    for (const CardState& card : state.cards)
        scope.cardList.push_back(
            {card.cardNumber, card.adapter ? card.adapter->tcpip.adapterGuid : std::string()});
    scope.services = state.hasServices;
    for (const ServiceRunState& service : state.services)
        scope.serviceNames.push_back(service.name);
    return scope;
}

}  // namespace flipset
