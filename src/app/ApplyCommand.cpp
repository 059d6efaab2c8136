#include "app/ApplyCommand.h"

#include "app/RunSnapshotHook.h"
#include "engine/SystemInfo.h"
#include "store/ConfigurationStore.h"
#include "store/ProgramSettings.h"

#include <algorithm>

namespace flipset {

namespace {

// The main window's title, which a run's captions start from.
constexpr const char* kTitle = "Quillon Configuration Flipset";

}  // namespace

CommandRunHost::CommandRunHost(const ApplyPlan& plan, OutputSink& output, RunPresenter& presenter)
    : plan_(plan), output_(output), presenter_(presenter), caption_(kTitle)
{
}

void CommandRunHost::SetCaption(const std::string& caption)
{
    caption_ = caption;
    presenter_.ShowCaption(caption);
}

void CommandRunHost::ShowError(const std::string& text)
{
    ++errors_;
    WriteErrorLine(output_, text);
    presenter_.ShowError(text);
}

// The run shows a plain message only when a step failed (the mixer, a card's
// state change), so it counts as an error too.
void CommandRunHost::ShowMessage(const std::string& text)
{
    ++errors_;
    WriteErrorLine(output_, text);
    presenter_.ShowMessage(text);
}

void CommandRunHost::WaitWithMessages(uint32_t milliseconds)
{
    if (milliseconds > 0)
        presenter_.Wait(milliseconds);
}

bool PlanApply(CRegistry registry, const SystemInfo& system, const VerbCommand& command,
               OutputSink& output, ApplyPlan& plan)
{
    plan.name = Trim(command.name);
    plan.settingsRootChoice = ProgramSettings::ReadSettingsRootChoice(registry);
    const RegistryRoot root = ConfigurationRoot(plan.settingsRootChoice);
    plan.number = ConfigurationStore(registry).FindConfigurationNumber(plan.name, root);
    if (plan.name.empty() || plan.number == 0) {
        WriteErrorLine(output, "no configuration is named \"" + plan.name + "\"");
        return false;
    }
    const std::string key = ConfigurationKeyPath(plan.number);
    for (const AreaDescriptor& area : kAreas) {
        bool on;
        if (command.onlyGiven)
            on = std::find(command.areas.begin(), command.areas.end(), area.area) !=
                 command.areas.end();
        else
            on = registry.ReadDword(key, area.optionValue, kAreaOptionDefault, root) != 0;
        plan.options.Set(area.area, on && IsAreaAvailable(area.area, system));
    }
    return true;
}

ExitCode RunApply(CRegistry registry, const RunPlatform& platform, const ApplyPlan& plan,
                  OutputSink& output, RunPresenter& presenter)
{
    CommandRunHost host(plan, output, presenter);
    RunSequence sequence(registry, host, platform);
    TakeSnapshotBeforeChanges(sequence, registry, platform, [&output](const std::string& problem) {
        output.WriteLine("warning: the state before the run could not be stored (" + problem +
                         "): /undo will not be available");
    });
    sequence.RunConfiguration();
    if (!host.Finished())
        return ExitCode::NoSuchConfiguration;
    return host.ErrorCount() > 0 ? ExitCode::StepFailed : ExitCode::Done;
}

ExitCode ListConfigurations(CRegistry registry, const ListOrder& before, OutputSink& output)
{
    const RegistryRoot root = ConfigurationRoot(ProgramSettings::ReadSettingsRootChoice(registry));
    StringList names = ConfigurationStore(registry).ListConfigurationNames(root);
    std::stable_sort(names.begin(), names.end(), before);
    for (const std::string& name : names)
        output.WriteLine(name);
    return ExitCode::Done;
}

}  // namespace flipset
