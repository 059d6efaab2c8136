#include "app/StateCommands.h"

#include "app/RunSnapshotHook.h"
#include "engine/RunContext.h"
#include "engine/SystemInfo.h"
#include "state/CurrentConfiguration.h"
#include "state/StatePreview.h"
#include "app/FirstRun.h"
#include "state/StateRestore.h"
#include "store/ConfigurationStore.h"
#include "store/ProgramSettings.h"

namespace flipset {

namespace {

RegistryRoot StoredConfigurationRoot(CRegistry registry)
{
    return ConfigurationRoot(ProgramSettings::ReadSettingsRootChoice(registry));
}

}  // namespace

ExitCode RunCaptureCommand(CRegistry registry, const RunPlatform& platform,
                           const VerbCommand& command, OutputSink& output)
{
    MachineState state;
    std::string error;
    if (!CaptureMachineState(StatePlatformOf(registry, platform), CurrentStateScope(registry),
                             state, error)) {
        WriteErrorLine(output, "the current state cannot be read: " + error);
        return ExitCode::StepFailed;
    }
    const NewConfigurationResult result = StoreStateAsConfiguration(
        registry, StoredConfigurationRoot(registry), std::nullopt, command.name, state);
    switch (result.status) {
    case NewConfigurationStatus::Done:
        StoreSharedChoiceWhenMissing(registry);
        output.WriteLine(result.message);
        return ExitCode::Done;
    case NewConfigurationStatus::BadName:
        WriteErrorLine(output, result.message);
        return ExitCode::BadUsage;
    case NewConfigurationStatus::NameTaken:
        WriteErrorLine(output, result.message);
        return ExitCode::NameTaken;
    case NewConfigurationStatus::WriteFailed:
        break;
    }
    WriteErrorLine(output, result.message);
    return ExitCode::StepFailed;
}

ExitCode RunPreviewCommand(CRegistry registry, const RunPlatform& platform, const ApplyPlan& plan,
                           OutputSink& output)
{
    // A host that shows nothing: the preview only reads.
    class Silent : public RunPresenter {
    public:
        void ShowCaption(const std::string&) override {}
        void ShowError(const std::string&) override {}
        void ShowMessage(const std::string&) override {}
        void Wait(uint32_t) override {}
    } silent;
    CommandRunHost host(plan, output, silent);
    const RunContext ctx(registry, host);
    MachineState before;
    std::string error;
    if (!CaptureMachineState(StatePlatformOf(registry, platform), RunScope(ctx, platform.system),
                             before, error)) {
        WriteErrorLine(output, "the current state cannot be read: " + error);
        return ExitCode::StepFailed;
    }
    for (const std::string& line : PreviewRun(ctx, before))
        output.WriteLine(line);
    return ExitCode::Done;
}

ExitCode RunUndoCommand(CRegistry registry, const RunPlatform& platform, OutputSink& output,
                        RunPresenter& presenter)
{
    const uint32_t choice = ProgramSettings::ReadSettingsRootChoice(registry);
    const ProgramSettings settings(registry, choice);
    const ServiceWaits waits{settings.Read(ProgramSettings::kServiceStopWait),
                             settings.Read(ProgramSettings::kServiceStartWait)};
    ApplyPlan plan;
    plan.settingsRootChoice = choice;
    CommandRunHost host(plan, output, presenter);
    const UndoOutcome outcome =
        UndoLastRun(StatePlatformOf(registry, platform), platform.devices, host,
                    ConfigurationRoot(choice), waits, CurrentTimeText());
    if (outcome.status != UndoStatus::Restored) {
        WriteErrorLine(output, "nothing to undo: " + outcome.reason);
        return ExitCode::NoSuchConfiguration;
    }
    if (!outcome.ownSnapshotProblem.empty())
        output.WriteLine("warning: this undo cannot be undone: " + outcome.ownSnapshotProblem);
    output.WriteLine("undid the run of \"" + outcome.undone.configurationName + "\" at " +
                     outcome.undone.time);
    output.WriteLine(kProgramsNotUndone);
    return host.ErrorCount() > 0 ? ExitCode::StepFailed : ExitCode::Done;
}

}  // namespace flipset
