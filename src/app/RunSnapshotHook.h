// The last run's snapshot, taken by every run that can be undone (the
// main window's and "/apply") once the configuration is found and before
// anything changes; and the part of the run's platform that a capture and a
// restore use.
#pragma once

#include "engine/RunSequence.h"
#include "state/MachineState.h"
#include "store/Registry.h"

#include <functional>
#include <string>

namespace flipset {

// The parts of the run's platform a capture and a restore use: the live
// adapters only where the system sets the cards on them (10 and later).
StatePlatform StatePlatformOf(CRegistry registry, const RunPlatform& platform);

// Makes the run store the last run's snapshot before it changes anything.
// problem is called with the reason when the snapshot could not be stored;
// the run goes on either way.
void TakeSnapshotBeforeChanges(RunSequence& sequence, CRegistry registry,
                               const RunPlatform& platform,
                               std::function<void(const std::string&)> problem);

}  // namespace flipset
