// Which configuration to run, as the machine moves between locations. The
// caller polls: each poll gives what the machine shows now and the time; the
// detector keeps no clock and starts nothing itself, it answers what to do.
//
// - A match (the configurations MatchLocations names) counts as entered when
//   it is the same for two polls in a row and differs from the current one.
//   Entering a single configuration's location answers Run (mode "switch")
//   or Ask (mode "ask first"); entering a tie answers Tie, once, naming
//   them. Staying answers nothing; leaving makes the match empty, so coming
//   back is entering again.
// - One run at a time: from a Run answer (or a hand run, or a confirmed Ask)
//   until the caller reports the run's network changes settled, polls answer
//   nothing.
// - A change from outside is a change of what the machine shows that a poll
//   sees while no run is in progress or waiting to settle, measured against
//   what the machine showed when the last run settled. That settled match
//   becomes current without running it (it is what the run left), so a run
//   never triggers itself, and two configurations whose runs each make the
//   other's location hold run at most once each until a change from
//   outside. Effects of a run that appear after the caller reported it
//   settled count as from outside: the caller reports settled after the
//   run's read-back.
// - While paused, a match entered becomes current without a run or a
//   question; resuming runs nothing for it (resuming is no move).
// - After a run by hand the location then held counts as served, as after
//   any run.
#pragma once

#include "network/Location.h"

#include <chrono>
#include <string>
#include <vector>

namespace flipset {

using LocationTime = std::chrono::milliseconds;

struct LocationAction {
    enum class Kind { None, Run, Ask, Tie };
    Kind kind = Kind::None;
    // Run and Ask: the configuration; Tie: those tied.
    std::vector<std::string> configurations;
};

class LocationDetector {
public:
    // The configurations' locations. A list changed after the first poll
    // makes the next poll's match current without a run: editing a location
    // is no move. Before the first poll it is where detection starts, and
    // the location the machine is in then is entered (two polls, as any).
    void SetLocations(std::vector<NamedLocation> locations);

    LocationAction Poll(const NetworkObservation& observation, LocationTime now);

    void SetPaused(bool paused) { paused_ = paused; }
    bool IsPaused() const { return paused_; }

    // A run by hand (or from any caller but a poll's Run) starts: false, and
    // nothing changes, while another is in progress.
    bool RunStarted();
    // The user accepts an Ask: true, and the run counts as started, when
    // that configuration is still the current match and no run is in
    // progress; otherwise the question is out of date.
    bool ConfirmAsk(const std::string& configuration);
    // The run in progress ended and its network changes have settled (or it
    // did not happen after all): what the machine shows then, read after the
    // run's read-back, is what the run left.
    void RunSettled(const NetworkObservation& settled, LocationTime now);
    bool IsRunning() const { return running_; }

    // The configuration whose location the machine is in, and since when;
    // empty when none or a tie.
    std::string CurrentLocation() const;
    LocationTime CurrentSince() const { return currentSince_; }

private:
    const NamedLocation* Find(const std::string& configuration) const;

    std::vector<NamedLocation> locations_;
    std::vector<std::string> current_;
    std::vector<std::string> candidate_;
    LocationTime currentSince_{0};
    bool paused_ = false;
    bool running_ = false;
    bool serveNext_ = false;
    bool polled_ = false;
};

}  // namespace flipset
