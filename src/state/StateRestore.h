// Putting a captured state back, and the undo of the last run built on it.
//
// The restore goes through the phases of a run, in the run's order and with
// its captions and messages: the system files (their bytes exactly, or
// removed when they did not exist), the desktop values with the wallpaper
// shown and the volume set, the proxy values and connection record, the
// start page, the cards (down while their interface values are written, up
// again when they were up; or, where the values were captured on the live
// adapter, as the card loop on the adapters sets a card, read back and
// reported as a run reports it), and each service stopped or started as it
// was. A part that fails is reported and
// the others are still restored. Programs a run started cannot be undone.
#pragma once

#include "engine/RunHost.h"
#include "state/MachineState.h"
#include "state/StateSnapshot.h"

#include <cstdint>
#include <string>

namespace flipset {

class DeviceInstaller;
class SystemInfo;

// The waits of the services' steps, in milliseconds.
struct ServiceWaits {
    uint32_t stop = 0;
    uint32_t start = 0;
};

void RestoreMachineState(const MachineState& state, const StatePlatform& platform,
                         DeviceInstaller& devices, RunHost& host, const ServiceWaits& waits);

// What an undo tells its caller beyond the host's messages.
constexpr const char* kProgramsNotUndone = "Programs that the run started are not undone.";

enum class UndoStatus {
    Restored,    // the snapshot's state was put back (steps may have failed)
    NoSnapshot,  // nothing to undo
    Refused,     // the stored snapshot is damaged or of a newer format
};

struct UndoOutcome {
    UndoStatus status = UndoStatus::NoSnapshot;
    std::string reason;              // why nothing was restored
    RunSnapshot undone;              // the snapshot that was put back
    std::string ownSnapshotProblem;  // empty when the undo's own snapshot was stored
};

// Undoes the last run: takes the state of the same parts now and stores it
// as the new last run's snapshot (so that a second undo returns to it), then
// restores the stored one. root is the configuration root.
UndoOutcome UndoLastRun(const StatePlatform& platform, DeviceInstaller& devices, RunHost& host,
                        RegistryRoot root, const ServiceWaits& waits, const std::string& now);

// What the undo entry and verb say is available: "NAME, time", or the reason
// there is nothing to undo.
bool DescribeLastRun(CRegistry registry, RegistryRoot root, std::string& text);

// Before a run changes anything: captures what the run of the selected
// configuration will touch and stores it as the last run's snapshot. When it
// cannot (a file cannot be read, the key cannot be written), any older
// snapshot is removed so that undo never puts back a state from before
// another run, and the reason is returned; the run goes on either way.
bool TakeRunSnapshot(const RunContext& ctx, const StatePlatform& platform, const SystemInfo& system,
                     const std::string& now, std::string& problem);

// The local time as a snapshot records it.
std::string CurrentTimeText();

}  // namespace flipset
