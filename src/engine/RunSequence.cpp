#include "engine/RunSequence.h"

#include "engine/DesktopSettings.h"
#include "engine/NetworkPhase.h"
#include "engine/ProgramLauncher.h"
#include "engine/RunContext.h"
#include "engine/ServiceControl.h"
#include "engine/SystemFiles.h"
#include "engine/SystemInfo.h"

namespace flipset {

namespace {

constexpr const char* kConfigurationNotFound = "Error. Unable to find the selected configuration.";
constexpr const char* kWaitingBeforeRun = "Waiting BeforeRunTimeout";
constexpr const char* kWaitingBeforeRunCompleted = "Waiting BeforeRunTimeout Completed";
constexpr int kRunFinished = 1;

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

    host_.RestoreWaitCursor();
    if (IsOn(RunOption::Files)) {
        host_.SetCaption("Writing Hostfile");
        WriteSystemFile(ctx, platform_.files, SystemFilePath(platform_.files, "hosts"),
                        ConfigurationValue::kHostfile);
        host_.SetCaption("Writing LMHostfile");
        WriteSystemFile(ctx, platform_.files, SystemFilePath(platform_.files, "lmhosts"),
                        ConfigurationValue::kLMHostfile);
    }

    host_.RestoreWaitCursor();
    if (IsOn(RunOption::Desktop)) {
        host_.SetCaption("Desktop settings");
        ApplyDesktopSettings(ctx, platform_.desktop);
    }

    ApplyStartPage(ctx);

    if (IsOn(RunOption::Network) && !platform_.system.IsMajorVersion6())
        RunNetworkPhase(ctx, platform_.devices);

    host_.RestoreWaitCursor();
    if (IsOn(RunOption::Services))
        RunServicesPhase(ctx, platform_.services);

    host_.SetCaption(kWaitingBeforeRun);
    host_.WaitWithMessages(ctx.ReadWait(ProgramSettings::kBeforeRunWait));
    host_.SetCaption(kWaitingBeforeRunCompleted);

    if (IsOn(RunOption::StartExternals))
        RunProgramsPhase(ctx, platform_.shell, guard.Title());

    host_.RestoreWaitCursor();
    host_.WaitWithMessages(ctx.ReadWait(ProgramSettings::kAfterRunWait));

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
    for (RunOption option : kRunOptions) {
        bool on = IsOn(option);
        if (option == RunOption::Network && platform_.system.IsMajorVersion6())
            on = false;
        ctx.WriteDword(RunOptionValueName(option), on ? 1 : 0);
    }
}

}  // namespace flipset
