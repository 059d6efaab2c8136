// The verbs that act on the configurations in the registry: "/apply", which
// runs a configuration through the same run sequence as the main window's
// Run button, and "/list". Portable: the run reaches a person only through
// a RunPresenter (nothing at all when quiet, or a small progress window),
// and writes every message it shows to the output as well.
#pragma once

#include "app/CommandVerbs.h"
#include "app/OutputSink.h"
#include "engine/RunHost.h"
#include "engine/RunSequence.h"
#include "store/Registry.h"

#include <cstdint>
#include <functional>
#include <string>

namespace flipset {

class SystemInfo;

// How a run started from the command line shows itself to a person.
class RunPresenter {
public:
    virtual ~RunPresenter() = default;
    // The run's current caption text (its progress).
    virtual void ShowCaption(const std::string& caption) = 0;
    // A message box with the stop icon, or none; returns when dismissed.
    virtual void ShowError(const std::string& text) = 0;
    // A message box without an icon, or none; returns when dismissed.
    virtual void ShowMessage(const std::string& text) = 0;
    // Returns after at least the given milliseconds.
    virtual void Wait(uint32_t milliseconds) = 0;
};

// What "/apply" runs: the configuration's name and number, the settings-root
// choice under which it was found, and the option state of each area.
struct ApplyPlan {
    std::string name;
    int number = 0;
    uint32_t settingsRootChoice = 0;
    AreaSet options;
};

// The run's host when no main window exists: the configuration is the plan's,
// found once by its name (the run reads it by number, while it exists), the
// option boxes are the plan's, the buttons and the wait cursor
// are nothing. Every message the run shows is a failed step's report: it is
// counted, written to the output as an error line, and handed to the
// presenter.
class CommandRunHost : public RunHost {
public:
    CommandRunHost(const ApplyPlan& plan, OutputSink& output, RunPresenter& presenter);

    // True once the run reached its end (the main window would close).
    bool Finished() const { return finished_; }
    int ErrorCount() const { return errors_; }

    int SelectedConfigurationNumber(const ConfigurationStore& store,
                                    RegistryRoot root) const override
    {
        return store.HasConfiguration(plan_.number, root) ? plan_.number : 0;
    }
    bool IsOptionChecked(Area area) const override { return plan_.options.Has(area); }
    uint32_t SettingsRootChoice() const override { return plan_.settingsRootChoice; }
    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& caption) override;
    void DisableButton(RunButton) override {}
    void RestoreButtons() override {}
    bool IsBusy() const override { return busy_; }
    void SetBusy(bool busy) override { busy_ = busy; }
    void ShowError(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void BeginWaitCursor() override {}
    void RestoreWaitCursor() override {}
    void EndWaitCursor() override {}
    void WaitWithMessages(uint32_t milliseconds) override;
    void EndModal(int) override { finished_ = true; }

private:
    ApplyPlan plan_;
    OutputSink& output_;
    RunPresenter& presenter_;
    std::string caption_;
    bool busy_ = false;
    bool finished_ = false;
    int errors_ = 0;
};

// The plan of "/apply": the configuration found by its trimmed name under the
// root that the stored "UserSettings" selects, with the areas of "/only" or
// else the options stored with the configuration (the network area off where
// the network features are). False, with an error line, when no
// configuration has the name.
bool PlanApply(CRegistry registry, const SystemInfo& system, const VerbCommand& command,
               OutputSink& output, ApplyPlan& plan);

// Runs the plan as the main window's Run does, with the last run's snapshot
// stored before it changes anything (a line says so when it cannot be). Done, StepFailed when a
// step showed a message, NoSuchConfiguration when the run found no configuration.
ExitCode RunApply(CRegistry registry, const RunPlatform& platform, const ApplyPlan& plan,
                  OutputSink& output, RunPresenter& presenter);

// True when the list box of the main window sorts a before b.
using ListOrder = std::function<bool(const std::string& a, const std::string& b)>;

// "/list": the configuration names under the root that the stored
// "UserSettings" selects, one a line, in the order of the main window's list.
ExitCode ListConfigurations(CRegistry registry, const ListOrder& before, OutputSink& output);

}  // namespace flipset
