#include "state/StateRestore.h"

#include "engine/DesktopSettings.h"
#include "engine/NetworkPhase.h"
#include "engine/ProxySettings.h"
#include "engine/RunContext.h"
#include "engine/ServiceControl.h"
#include "engine/SystemFiles.h"
#include "network/AdapterControl.h"
#include "network/CardInventory.h"
#include "network/TcpipSettings.h"
#include "store/ConfigurationSchema.h"

#include <ctime>

namespace flipset {

namespace {

// The captions of the run's Files phase.
std::string FileCaption(const std::string& fileName)
{
    return fileName == kLmhostsFileName ? "Writing LMHostfile" : "Writing Hostfile";
}

bool RestoreValue(const COpenKey& key, const ValueState& state)
{
    if (state.present)
        return key.WriteValue(state.name, state.value);
    (void)key.DeleteValue(state.name);
    RegistryValue left;
    return !key.ReadValue(state.name, left);
}

// The text of a string value as stored, without its closing 0 bytes.
std::string StoredText(const ValueState& state)
{
    if (!state.present)
        return std::string();
    std::string text(state.value.data.begin(), state.value.data.end());
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

void RestoreFiles(const std::vector<FileState>& files, FileSystem& fileSystem, RunHost& host)
{
    for (const FileState& file : files) {
        host.SetCaption(FileCaption(file.fileName));
        const bool done = file.exists ? fileSystem.ReplaceFileContent(file.path, file.bytes)
                                      : fileSystem.RemoveFile(file.path);
        if (!done)
            host.ShowError("Error restoring the file " + file.path);
    }
}

void RestoreDesktop(const DesktopState& desktop, const StatePlatform& platform, RunHost& host)
{
    host.SetCaption("Desktop settings");
    CRegistry registry = platform.registry;
    bool failed = false;
    std::string wallpaper;
    {
        const COpenKey desktopKey = registry.OpenForWriting(kDesktopKey, RegistryRoot::CurrentUser);
        for (const ValueState& value : desktop.values) {
            failed |= !RestoreValue(desktopKey, value);
            if (EqualsNoCase(value.name, kWallpaperValue))
                wallpaper = StoredText(value);
        }
    }
    platform.desktop.SetWallpaper(wallpaper);
    platform.desktop.RefreshDesktop();
    if (desktop.hasVolume) {
        const MixerResult volume = platform.desktop.SetMasterVolume(desktop.volume);
        if (volume != MixerResult::Done)
            host.ShowMessage(MixerFailureText(volume));
    }
    failed |= !RestoreValue(registry.OpenForWriting(kWindowsKey, RegistryRoot::CurrentUser),
                            desktop.printer);
    if (failed)
        host.ShowError("Error restoring the desktop settings");
}

// Both the values and the record, byte for byte, then the word to the
// running programs, as the run's phase gives it.
void RestoreProxy(const ProxyState& proxy, const StatePlatform& platform, RunHost& host)
{
    host.SetCaption(kProxyCaption);
    bool failed = false;
    {
        const COpenKey settings =
            platform.registry.OpenForWriting(kInternetSettingsKey, RegistryRoot::CurrentUser);
        for (const ValueState& value : proxy.settings)
            failed |= !RestoreValue(settings, value);
    }
    failed |= !RestoreValue(
        platform.registry.OpenForWriting(kConnectionsKey, RegistryRoot::CurrentUser), proxy.record);
    platform.internet.SettingsChanged();
    if (failed)
        host.ShowError("Error restoring the proxy settings");
}

// As the card loop on the live adapters sets a card: no link taken down, a
// card that was disabled disabled, one that was enabled enabled first, then
// its adapter set to what it showed and read back.
void RestoreCardOnAdapter(const CardState& card, const StatePlatform& platform,
                          DeviceInstaller& devices, RunHost& host)
{
    CRegistry registry = platform.registry;
    const AdapterState& adapter = *card.adapter;
    host.SetCaption("Setting " + card.description);
    const bool enabled = IsCardNumberEnabled(registry, card.cardNumber);
    if (!card.enabled) {
        if (enabled)
            SetCardState(devices, host, card.description, false);
        return;
    }
    if (!enabled) {
        SetCardState(devices, host, card.description, true);
        host.WaitWithMessages(kCardEnableWait);
    }
    // An adapter that was not listed showed nothing to put back.
    if (!adapter.listed)
        return;
    if (!platform.interfaces) {
        host.ShowError("Error restoring the settings of " + card.description);
        return;
    }
    SetCardOnItsAdapter(registry, host, *platform.interfaces,
                        AdapterCard{card.cardNumber, card.description, adapter.tcpip.adapterGuid},
                        adapter.tcpip);
}

void RestoreCard(const CardState& card, const StatePlatform& platform, DeviceInstaller& devices,
                 RunHost& host)
{
    if (card.adapter) {
        RestoreCardOnAdapter(card, platform, devices, host);
        return;
    }
    CRegistry registry = platform.registry;
    if (IsCardNumberEnabled(registry, card.cardNumber))
        SetCardState(devices, host, card.description, false);
    host.SetCaption("Setting " + card.description);

    bool failed = false;
    if (!card.serviceName.empty()) {
        const COpenKey key = registry.OpenForWriting(TcpipInterfaceKey(card.serviceName),
                                                     RegistryRoot::LocalMachine);
        for (const ValueState& value : card.interfaceValues)
            failed |= !RestoreValue(key, value);
    }
    if (failed)
        host.ShowError("Error restoring the settings of " + card.description);
    if (card.enabled) {
        SetCardState(devices, host, card.description, true);
        host.WaitWithMessages(kCardEnableWait);
    }
}

// The stops first, as a run does them, then the starts.
void RestoreServices(const std::vector<ServiceRunState>& services, ServiceManager& manager,
                     RunHost& host, const ServiceWaits& waits)
{
    for (const ServiceRunState& service : services) {
        if (service.running)
            continue;
        host.SetCaption("Stopping Service " + service.name);
        std::string reason;
        if (!StopNamedService(manager, host, service.name, reason, waits.stop))
            host.ShowError("Error stopping the service " + service.name + " with code " + reason);
        host.WaitWithMessages(waits.stop);
    }
    for (const ServiceRunState& service : services) {
        if (!service.running)
            continue;
        host.SetCaption("Starting Service " + service.name);
        if (!StartNamedService(manager, service.name))
            host.ShowError("Error starting the service " + service.name);
        host.WaitWithMessages(waits.start);
    }
}

}  // namespace

void RestoreMachineState(const MachineState& state, const StatePlatform& platform,
                         DeviceInstaller& devices, RunHost& host, const ServiceWaits& waits)
{
    RestoreFiles(state.files, platform.files, host);
    if (state.hasDesktop)
        RestoreDesktop(state.desktop, platform, host);
    if (state.hasProxy)
        RestoreProxy(state.proxy, platform, host);
    if (state.hasStartPage &&
        !RestoreValue(platform.registry.OpenForWriting(kBrowserMainKey, RegistryRoot::CurrentUser),
                      state.startPage))
        host.ShowError("Error restoring the start page");
    for (const CardState& card : state.cards)
        RestoreCard(card, platform, devices, host);
    RestoreServices(state.services, platform.services, host, waits);
}

UndoOutcome UndoLastRun(const StatePlatform& platform, DeviceInstaller& devices, RunHost& host,
                        RegistryRoot root, const ServiceWaits& waits, const std::string& now)
{
    UndoOutcome outcome;
    std::string error;
    switch (LoadLastRunSnapshot(platform.registry, root, outcome.undone, error)) {
    case SnapshotLoad::Missing:
        outcome.status = UndoStatus::NoSnapshot;
        outcome.reason =
            "there is no snapshot of a run to undo (a run stores one before it "
            "changes anything, when the program's key can be written)";
        return outcome;
    case SnapshotLoad::Refused:
        outcome.status = UndoStatus::Refused;
        outcome.reason = error;
        return outcome;
    case SnapshotLoad::Loaded:
        break;
    }

    RunSnapshot own;
    own.configurationName = outcome.undone.configurationName;
    own.time = now;
    std::string problem;
    if (!CaptureMachineState(platform, ScopeOf(outcome.undone.state), own.state, problem))
        outcome.ownSnapshotProblem = problem;
    else if (!StoreLastRunSnapshot(platform.registry, root, own))
        outcome.ownSnapshotProblem = "the program's key cannot be written";
    // Without its own snapshot the undo still goes on, but the one it undoes
    // must not be put back a second time.
    if (!outcome.ownSnapshotProblem.empty())
        (void)ForgetLastRunSnapshot(platform.registry, root);

    RestoreMachineState(outcome.undone.state, platform, devices, host, waits);
    outcome.status = UndoStatus::Restored;
    return outcome;
}

bool DescribeLastRun(CRegistry registry, RegistryRoot root, std::string& text)
{
    RunSnapshot snapshot;
    std::string error;
    switch (LoadLastRunSnapshot(registry, root, snapshot, error)) {
    case SnapshotLoad::Loaded:
        text = snapshot.configurationName + ", " + snapshot.time;
        return true;
    case SnapshotLoad::Missing:
        text = "no run has stored a snapshot";
        return false;
    case SnapshotLoad::Refused:
        text = error;
        return false;
    }
    return false;
}

bool TakeRunSnapshot(const RunContext& ctx, const StatePlatform& platform, const SystemInfo& system,
                     const std::string& now, std::string& problem)
{
    const RegistryRoot root = ctx.ConfigurationRoot();
    RunSnapshot snapshot;
    CaptureScope scope;
    {
        const COpenKey configuration = ctx.OpenConfiguration();
        snapshot.configurationName = configuration.ReadString(ConfigurationValue::kName, "");
        scope = RunScope(ctx, configuration, system);
    }
    snapshot.time = now;
    bool stored = CaptureMachineState(platform, scope, snapshot.state, problem);
    if (stored && !StoreLastRunSnapshot(platform.registry, root, snapshot)) {
        problem = "the program's key cannot be written";
        stored = false;
    }
    if (!stored)
        (void)ForgetLastRunSnapshot(platform.registry, root);
    return stored;
}

std::string CurrentTimeText()
{
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32] = {};
    if (local == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0)
        return "an unknown time";
    return text;
}

}  // namespace flipset
