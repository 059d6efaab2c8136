#include "state/MachineState.h"

#include "engine/DesktopSettings.h"
#include "engine/ProxySettings.h"
#include "engine/RunContext.h"
#include "engine/ServiceControl.h"
#include "engine/SystemFiles.h"
#include "engine/SystemInfo.h"
#include "network/CardInventory.h"
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

}  // namespace

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
    if (scope.cards)
        scope.cardNumbers = configuration.SubKeyNames();
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
        scope.cardNumbers.push_back(card.number);
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
    for (const std::string& cardNumber : scope.cardNumbers)
        state.cards.push_back(CaptureCard(platform.registry, cardNumber));
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
        scope.cardNumbers.push_back(card.cardNumber);
    scope.services = state.hasServices;
    for (const ServiceRunState& service : state.services)
        scope.serviceNames.push_back(service.name);
    return scope;
}

}  // namespace flipset
