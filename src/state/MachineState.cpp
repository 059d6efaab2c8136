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

ValueState ReadValueState(CRegistry registry, const std::string& key, const char* name,
                          RegistryRoot root)
{
    ValueState state;
    state.name = name;
    state.present = registry.ReadValue(key, name, state.value, root);
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

void AddListedServices(const RunContext& ctx, const char* valueName, StringList& names)
{
    StringList entries;
    if (!ctx.ReadCodedList(valueName, entries))
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
    for (const char* name : kOldWallpaperValues)
        state.values.push_back(
            ReadValueState(registry, kDesktopKey, name, RegistryRoot::CurrentUser));
    for (const char* name : {kWallpaperStyleValue, kTileWallpaperValue})
        state.values.push_back(
            ReadValueState(registry, kDesktopKey, name, RegistryRoot::CurrentUser));
    state.printer =
        ReadValueState(registry, kWindowsKey, kDefaultPrinterValue, RegistryRoot::CurrentUser);
    state.hasVolume = desktop.GetMasterVolume(state.volume) == MixerResult::Done;
    if (!state.hasVolume)
        state.volume = 0;
    return state;
}

ProxyState CaptureProxy(CRegistry registry)
{
    ProxyState state;
    for (const char* name : kProxySettingsValueNames)
        state.settings.push_back(
            ReadValueState(registry, kInternetSettingsKey, name, RegistryRoot::CurrentUser));
    state.record = ReadValueState(registry, kConnectionsKey, kConnectionSettingsValue,
                                  RegistryRoot::CurrentUser);
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
        const std::string key = TcpipInterfaceKey(card.serviceName);
        for (const char* name : kInterfaceValueNames)
            card.interfaceValues.push_back(
                ReadValueState(registry, key, name, RegistryRoot::LocalMachine));
    }
    return card;
}

}  // namespace

CaptureScope RunScope(const RunContext& ctx, const SystemInfo& system)
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
        scope.cardNumbers =
            ctx.Registry().EnumSubKeys(ctx.ConfigurationKey(), ctx.ConfigurationRoot());
    scope.services = runs(Area::Services);
    if (scope.services) {
        AddListedServices(ctx, ConfigurationValue::kServicesStop, scope.serviceNames);
        AddListedServices(ctx, ConfigurationValue::kServicesStart, scope.serviceNames);
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
        state.startPage = ReadValueState(platform.registry, kBrowserMainKey, kStartPageValue,
                                         RegistryRoot::CurrentUser);
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
