#include "engine/RunSequence.h"

#include "engine/DesktopSettings.h"
#include "engine/NetworkPhase.h"
#include "engine/ProgramLauncher.h"
#include "engine/ProxySettings.h"
#include "engine/RunContext.h"
#include "engine/ServiceControl.h"
#include "engine/SystemFiles.h"
#include "engine/SystemInfo.h"

#include <optional>
#include <string>

namespace flipset {

namespace {

constexpr const char* kConfigurationNotFound = "Error. Unable to find the selected configuration.";
constexpr const char* kWaitingBeforeRun = "Waiting BeforeRunTimeout";
constexpr const char* kWaitingBeforeRunCompleted = "Waiting BeforeRunTimeout Completed";
constexpr int kRunFinished = 1;

void RunFilesPhase(RunContext& ctx, const RunPlatform& platform, const std::string&)
{
    ctx.Host().SetCaption("Writing Hostfile");
    WriteSystemFile(ctx, platform.files, SystemFilePath(platform.files, "hosts"),
                    ConfigurationValue::kHostfile);
    ctx.Host().SetCaption("Writing LMHostfile");
    WriteSystemFile(ctx, platform.files, SystemFilePath(platform.files, "lmhosts"),
                    ConfigurationValue::kLMHostfile);
}

void RunDesktopPhase(RunContext& ctx, const RunPlatform& platform, const std::string&)
{
    ctx.Host().SetCaption("Desktop settings");
    ApplyDesktopSettings(ctx, platform.desktop);
}

void RunProxyPhase(RunContext& ctx, const RunPlatform& platform, const std::string&)
{
    ApplyProxySettings(ctx, platform.internet);
}

void RunStartPagePhase(RunContext& ctx, const RunPlatform&, const std::string&)
{
    ApplyStartPage(ctx);
}

void RunCardsPhase(RunContext& ctx, const RunPlatform& platform, const std::string&)
{
    if (TcpipBackendFor(platform.system) == TcpipBackend::Netsh)
        RunNetworkPhaseOnAdapters(ctx, platform.devices, platform.interfaces);
    else
        RunNetworkPhase(ctx, platform.devices);
}

void RunServiceListsPhase(RunContext& ctx, const RunPlatform& platform, const std::string&)
{
    RunServicesPhase(ctx, platform.services);
}

void WaitBeforePrograms(RunContext& ctx, const RunPlatform&, const std::string&)
{
    ctx.Host().SetCaption(kWaitingBeforeRun);
    ctx.Host().WaitWithMessages(ctx.ReadWait(ProgramSettings::kBeforeRunWait));
    ctx.Host().SetCaption(kWaitingBeforeRunCompleted);
}

void RunProgramListPhase(RunContext& ctx, const RunPlatform& platform, const std::string& title)
{
    RunProgramsPhase(ctx, platform.shell, title);
}

void WaitAfterPrograms(RunContext& ctx, const RunPlatform&, const std::string&)
{
    ctx.Host().WaitWithMessages(ctx.ReadWait(ProgramSettings::kAfterRunWait));
}

// A step of a run: an area's phase, taken when the area's option box is
// checked and the platform has what the area needs, or (no area) a step that
// every run takes.
using RunPhase = void (*)(RunContext& ctx, const RunPlatform& platform, const std::string& title);
struct RunStep {
    std::optional<Area> area;
    RunPhase run;
};

// The whole run, in its order. The start page is applied whatever the boxes
// say, and the wait before the programs is taken whether they start or not.
// clang-format off
constexpr RunStep kRunSteps[] = {
    {Area::Files, RunFilesPhase},
    {Area::Desktop, RunDesktopPhase},
    {Area::Proxy, RunProxyPhase},
    {std::nullopt, RunStartPagePhase},
    {Area::Network, RunCardsPhase},
    {Area::Services, RunServiceListsPhase},
    {std::nullopt, WaitBeforePrograms},
    {Area::Programs, RunProgramListPhase},
    {std::nullopt, WaitAfterPrograms},
};
// clang-format on

}  // namespace

void RunSequence::RunConfiguration()
{
    host_.BeginWaitCursor();
    if (host_.IsBusy()) {
        host_.EndWaitCursor();
        return;
    }
    RunGuard guard(host_);

    host_.RestoreWaitCursor();
    RunContext ctx(registry_, host_);
    if (ctx.SelectedConfigurationNumber() == 0) {
        host_.ShowError(kConfigurationNotFound);
        guard.Release(RunGuard::Buttons::Restore);
        return;
    }

    if (beforeChanges_) {
        try {
            beforeChanges_(ctx);
        } catch (...) {
        }
    }

    host_.RestoreWaitCursor();
    StoreOptions(ctx);

    for (const RunStep& step : kRunSteps) {
        // A message box of the step before may have replaced the wait cursor.
        host_.RestoreWaitCursor();
        if (!step.area || (IsOn(*step.area) && IsAreaAvailable(*step.area, platform_.system)))
            step.run(ctx, platform_, guard.Title());
    }

    // The buttons stay disabled: the window closes.
    guard.Release(RunGuard::Buttons::KeepDisabled);
    host_.EndModal(kRunFinished);
}

RunGuard::RunGuard(RunHost& host) : host_(host), title_(host.Caption())
{
    host_.SetBusy(true);
    for (RunButton button : kRunButtons)
        host_.DisableButton(button);
}

RunGuard::~RunGuard()
{
    if (released_)
        return;
    // A phase failed part-way: the window stays open, so it must be usable
    // again, with the title it had before the run. Nothing may leave a
    // destructor that runs while the phase's exception unwinds.
    try {
        host_.SetCaption(title_);
    } catch (...) {
    }
    try {
        Release(Buttons::Restore);
    } catch (...) {
    }
}

void RunGuard::Release(Buttons buttons)
{
    if (released_)
        return;
    released_ = true;
    host_.SetBusy(false);
    if (buttons == Buttons::Restore)
        host_.RestoreButtons();
    host_.EndWaitCursor();
}

// The options the run was started with, so that selecting the configuration
// later shows them again.
void RunSequence::StoreOptions(RunContext& ctx) const
{
    for (const AreaDescriptor& area : kAreas) {
        const bool on = IsOn(area.area) && IsAreaAvailable(area.area, platform_.system);
        ctx.WriteDword(area.optionValue, on ? 1 : 0);
    }
}

}  // namespace flipset
