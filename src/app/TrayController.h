// The tray's logic: the resident program's polls, its runs and what it
// tells the user. Portable: the window, the icon, its balloons and the runs
// themselves (each a "/apply NAME" or "/undo" process of its own, which
// brings the verbs' progress window, elevation and run turn) are behind
// TrayPlatform, and every text comes through TrayTexts from the string
// table.
//
// - Every poll (the caller's 2 s timer) reads what the machine shows and
//   feeds the location detector: Run starts that configuration, Ask shows a
//   notification whose click runs it, Tie a notification naming them.
// - The locations are read again on the first poll and every
//   kLocationRereadPolls polls after it, so an edited location counts
//   within that time without reading every configuration key every 2 s.
// - A run by hand or an undo, from the menu, counts as a run for the
//   detector too; while any run is in progress another is refused with a
//   notification.
// - So does a run from elsewhere (the main window, "/apply" or "/undo" in a
//   process of its own): a poll that finds the run turn taken, or the undo
//   record written since the last poll, waits for the turn to be free and
//   then counts what the machine shows as what that run left, so that its
//   network changes never start a run of the tray's.
// - Each poll reads only what the locations look at (NeedsOf): nothing at
//   all while no location can hold.
// - When a run's process ends, what the machine shows then (after the run's
//   own read-back) is what the run left: the detector is told, and a
//   notification says which configuration ran, by hand or for its
//   location, and its result.
#pragma once

#include "app/ApplyCommand.h"
#include "base/Text.h"
#include "network/LocationDetector.h"
#include "network/NetworkObserver.h"
#include "store/Registry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace flipset {

// The texts of the string table (IDS_TRAY_*), filled with their arguments.
class TrayTexts {
public:
    virtual ~TrayTexts() = default;
    virtual std::string Text(int id, const StringList& arguments = {}) const = 0;
};

struct TrayNotification {
    std::string text;
    // A question: a click on the notification runs the configuration.
    bool asksToRun = false;
};

class TrayPlatform {
public:
    virtual ~TrayPlatform() = default;
    // Starts the run of the configuration ("/apply NAME"), or the undo of the
    // last run ("/undo"), as a process of its own; false when it could not
    // start. Its end comes back as TrayController::RunEnded.
    virtual bool StartRun(const std::string& configuration) = 0;
    virtual bool StartUndo() = 0;
    virtual void Notify(const TrayNotification& notification) = 0;
    virtual void SetTip(const std::string& tip) = 0;

    // What a poll sees of runs from elsewhere: whether one takes or holds
    // the run turn now, and a mark that moves whenever a run writes or
    // forgets the undo record (the last write of the settings key that
    // holds it, under the root given).
    struct RunsSeen {
        bool inProgress = false;
        uint64_t recordMark = 0;
    };
    virtual RunsSeen LookAtRuns(RegistryRoot root) = 0;
};

// How often the locations are read again: every this many polls.
inline constexpr int kLocationRereadPolls = 15;

// The icon's menu as the tray shows it.
enum class TrayCommand { Run, Preview, Undo, Open, Pause, StartWithWindows, Exit };
struct TrayMenuEntry {
    TrayCommand command;
    std::string text;
    std::string configuration;  // Run and Preview
    bool checked = false;
    bool enabled = true;
};
struct TrayMenu {
    // One entry a configuration, in the main window's order (none: one
    // greyed entry saying so).
    std::vector<TrayMenuEntry> runs;
    // "NAME..." for each, under the submenu previewTitle.
    std::string previewTitle;
    std::vector<TrayMenuEntry> previews;
    // Undo, Open, Pause, Start with Windows, then Exit.
    std::vector<TrayMenuEntry> actions;
};

class TrayController {
public:
    TrayController(CRegistry registry, NetworkObserver& observer, TrayPlatform& platform,
                   const TrayTexts& texts);

    void Poll(LocationTime now);

    // The notification was clicked: a question's configuration runs, if the
    // machine is still at its location and no run is in progress.
    void NotificationClicked();
    // The notification went away unclicked: its question is void.
    void NotificationClosed() { askedFor_.clear(); }

    void RunByHand(const std::string& configuration);
    void UndoLastRun();
    // The run's process ended with this exit code (ExitCode).
    void RunEnded(int exitCode, LocationTime now);
    bool IsRunning() const { return !running_.empty() || undoing_; }

    void SetPaused(bool paused);
    bool IsPaused() const { return detector_.IsPaused(); }

    TrayMenu Menu(const ListOrder& order, bool startsWithWindows) const;
    std::string Tip() const;

private:
    enum class Reason { Hand, Location };
    bool StartRun(const std::string& configuration, Reason reason);
    std::string RunText(const std::string& configuration, bool automatic,
                        const std::string& result) const;
    void ReadLocations();
    // True while a run from elsewhere keeps polls from acting.
    bool WatchRunsFromElsewhere(LocationTime now);
    NetworkObservation Observe() { return observer_.Observe(needs_); }
    std::string LastRun() const;
    void UpdateTip();
    RegistryRoot Root() const;

    CRegistry registry_;
    NetworkObserver& observer_;
    TrayPlatform& platform_;
    const TrayTexts& texts_;
    LocationDetector detector_;
    ObservationNeeds needs_;
    RegistryRoot root_{};
    std::optional<uint64_t> recordMark_;
    bool runElsewhere_ = false;
    int pollsUntilReread_ = 0;
    LocationTime lastPoll_{0};
    std::string askedFor_;
    std::string running_;  // the configuration whose run is in progress
    Reason reason_ = Reason::Hand;
    bool undoing_ = false;
    std::string lastRun_;
    std::string tip_;
};

}  // namespace flipset
