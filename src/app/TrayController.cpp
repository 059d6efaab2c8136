#include "app/TrayController.h"

#include "app/CommandVerbs.h"
#include "resource.h"
#include "state/StateRestore.h"
#include "store/ConfigurationStore.h"
#include "store/ProgramSettings.h"

#include <algorithm>
#include <utility>

namespace flipset {

namespace {

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

TrayMenuEntry Entry(TrayCommand command, std::string text, std::string configuration = {},
                    bool checked = false, bool enabled = true)
{
    return {command, std::move(text), std::move(configuration), checked, enabled};
}

}  // namespace

TrayController::TrayController(CRegistry registry, NetworkObserver& observer,
                               TrayPlatform& platform, const TrayTexts& texts)
    : registry_(registry), observer_(observer), platform_(platform), texts_(texts)
{
    root_ = Root();
    lastRun_ = LastRun();
}

RegistryRoot TrayController::Root() const
{
    return ConfigurationRoot(ProgramSettings::ReadSettingsRootChoice(registry_));
}

void TrayController::ReadLocations()
{
    root_ = Root();
    std::vector<NamedLocation> locations = ReadConfigurationLocations(registry_, root_);
    needs_ = NeedsOf(locations);
    detector_.SetLocations(std::move(locations));
}

bool TrayController::WatchRunsFromElsewhere(LocationTime now)
{
    if (IsRunning())
        return false;
    const TrayPlatform::RunsSeen runs = platform_.LookAtRuns(root_);
    const bool recordMoved = recordMark_ && *recordMark_ != runs.recordMark;
    recordMark_ = runs.recordMark;
    if (!runElsewhere_ && (runs.inProgress || recordMoved)) {
        // The detector refuses only while a run of the tray's own is in
        // progress, and there is none.
        if (!detector_.RunStarted())
            return false;
        runElsewhere_ = true;
        askedFor_.clear();
    }
    if (!runElsewhere_)
        return false;
    if (runs.inProgress)
        return true;
    runElsewhere_ = false;
    detector_.RunSettled(Observe(), now);
    lastRun_ = LastRun();
    return true;
}

std::string TrayController::LastRun() const
{
    std::string text;
    return DescribeLastRun(registry_, root_, text) ? text : std::string();
}

void TrayController::Poll(LocationTime now)
{
    lastPoll_ = now;
    if (pollsUntilReread_-- <= 0) {
        ReadLocations();
        pollsUntilReread_ = kLocationRereadPolls - 1;
    }
    // While a run is in progress the detector answers nothing: the
    // machine is not even read.
    if (!WatchRunsFromElsewhere(now) && !detector_.IsRunning()) {
        const LocationAction action = detector_.Poll(Observe(), now);
        switch (action.kind) {
        case LocationAction::Kind::None:
            break;
        case LocationAction::Kind::Run:
            askedFor_.clear();
            if (!StartRun(action.configurations.front(), Reason::Location))
                detector_.RunSettled(Observe(), now);
            break;
        case LocationAction::Kind::Ask:
            askedFor_ = action.configurations.front();
            platform_.Notify({texts_.Text(IDS_TRAY_ASK, {askedFor_}), true});
            break;
        case LocationAction::Kind::Tie:
            askedFor_.clear();
            platform_.Notify({texts_.Text(IDS_TRAY_TIE, {Joined(action.configurations)})});
            break;
        }
    }
    UpdateTip();
}

void TrayController::NotificationClicked()
{
    const std::string configuration = std::exchange(askedFor_, std::string());
    if (configuration.empty() || !detector_.ConfirmAsk(configuration))
        return;
    if (!StartRun(configuration, Reason::Location))
        detector_.RunSettled(Observe(), lastPoll_);
}

void TrayController::RunByHand(const std::string& configuration)
{
    if (!detector_.RunStarted()) {
        platform_.Notify({texts_.Text(IDS_TRAY_BUSY)});
        return;
    }
    askedFor_.clear();
    if (!StartRun(configuration, Reason::Hand))
        detector_.RunSettled(Observe(), lastPoll_);
}

void TrayController::UndoLastRun()
{
    if (!detector_.RunStarted()) {
        platform_.Notify({texts_.Text(IDS_TRAY_BUSY)});
        return;
    }
    askedFor_.clear();
    if (platform_.StartUndo()) {
        undoing_ = true;
        UpdateTip();
        return;
    }
    detector_.RunSettled(Observe(), lastPoll_);
    platform_.Notify({texts_.Text(IDS_TRAY_UNDONE, {texts_.Text(IDS_TRAY_RESULT_NOT_STARTED)})});
}

bool TrayController::StartRun(const std::string& configuration, Reason reason)
{
    if (!platform_.StartRun(configuration)) {
        platform_.Notify({RunText(configuration, reason == Reason::Location,
                                  texts_.Text(IDS_TRAY_RESULT_NOT_STARTED))});
        return false;
    }
    running_ = configuration;
    reason_ = reason;
    UpdateTip();
    return true;
}

std::string TrayController::RunText(const std::string& configuration, bool automatic,
                                    const std::string& result) const
{
    return texts_.Text(automatic ? IDS_TRAY_RAN_FOR_LOCATION : IDS_TRAY_RAN_BY_HAND,
                       {configuration, result});
}

void TrayController::RunEnded(int exitCode, LocationTime now)
{
    if (!IsRunning())
        return;
    // Read after the run's process has ended, and so after its read-back.
    detector_.RunSettled(Observe(), now);
    const bool automatic = !undoing_ && reason_ == Reason::Location;
    int result = IDS_TRAY_RESULT_FAILED;
    switch (static_cast<ExitCode>(exitCode)) {
    case ExitCode::Done:
        result = IDS_TRAY_RESULT_DONE;
        break;
    case ExitCode::StepFailed:
        result = automatic ? IDS_TRAY_RESULT_ERRORS_UNDO : IDS_TRAY_RESULT_ERRORS;
        break;
    case ExitCode::NoSuchConfiguration:
        result = IDS_TRAY_RESULT_NOT_FOUND;
        break;
    case ExitCode::NeedsRights:
        result = IDS_TRAY_RESULT_NO_RIGHTS;
        break;
    case ExitCode::RunInProgress:
        result = IDS_TRAY_RESULT_BUSY;
        break;
    default:
        break;
    }
    const std::string resultText = texts_.Text(result, {std::to_string(exitCode)});
    const std::string text = undoing_ ? texts_.Text(IDS_TRAY_UNDONE, {resultText})
                                      : RunText(running_, automatic, resultText);
    running_.clear();
    undoing_ = false;
    lastRun_ = LastRun();
    // The run's own record is no run from elsewhere.
    recordMark_ = platform_.LookAtRuns(root_).recordMark;
    platform_.Notify({text});
    UpdateTip();
}

void TrayController::SetPaused(bool paused)
{
    detector_.SetPaused(paused);
    if (paused)
        askedFor_.clear();
    UpdateTip();
}

std::string TrayController::Tip() const
{
    const std::string none = texts_.Text(IDS_TRAY_NONE);
    const std::string location = detector_.CurrentLocation();
    return texts_.Text(IsPaused() ? IDS_TRAY_TIP_PAUSED : IDS_TRAY_TIP,
                       {location.empty() ? none : location, lastRun_.empty() ? none : lastRun_});
}

void TrayController::UpdateTip()
{
    std::string tip = Tip();
    if (tip != tip_) {
        tip_ = std::move(tip);
        platform_.SetTip(tip_);
    }
}

TrayMenu TrayController::Menu(const ListOrder& order, bool startsWithWindows) const
{
    TrayMenu menu;
    StringList names = ConfigurationStore(registry_).ListConfigurationNames(Root());
    std::stable_sort(names.begin(), names.end(), order);
    const bool idle = !IsRunning();
    for (const std::string& name : names) {
        menu.runs.push_back(Entry(TrayCommand::Run, name, name, false, idle));
        menu.previews.push_back(
            Entry(TrayCommand::Preview, texts_.Text(IDS_TRAY_PREVIEW_ENTRY, {name}), name));
    }
    if (names.empty())
        menu.runs.push_back(
            Entry(TrayCommand::Run, texts_.Text(IDS_TRAY_NO_CONFIGURATIONS), {}, false, false));
    menu.previewTitle = texts_.Text(IDS_TRAY_PREVIEW_MENU);

    std::string lastRun;
    const bool undoable = DescribeLastRun(registry_, Root(), lastRun);
    menu.actions.push_back(Entry(
        TrayCommand::Undo, texts_.Text(undoable ? IDS_UNDO_ENTRY : IDS_UNDO_UNAVAILABLE, {lastRun}),
        {}, false, undoable && idle));
    menu.actions.push_back(Entry(TrayCommand::Open, texts_.Text(IDS_TRAY_OPEN)));
    menu.actions.push_back(Entry(TrayCommand::Pause, texts_.Text(IDS_TRAY_PAUSE), {}, IsPaused()));
    menu.actions.push_back(Entry(TrayCommand::StartWithWindows,
                                 texts_.Text(IDS_TRAY_START_WITH_WINDOWS), {}, startsWithWindows));
    menu.actions.push_back(Entry(TrayCommand::Exit, texts_.Text(IDS_TRAY_EXIT)));
    return menu;
}

}  // namespace flipset
