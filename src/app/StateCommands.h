// The verbs built on the machine's state: "/capture NAME" (a new
// configuration of the current state), "/preview NAME [/only AREAS]" (what
// "/apply" would change) and "/undo [/quiet]" (the state from before the last
// run put back). Portable, over the run's platform services.
#pragma once

#include "app/ApplyCommand.h"
#include "app/CommandVerbs.h"
#include "app/OutputSink.h"
#include "engine/RunSequence.h"
#include "state/MachineState.h"
#include "store/Registry.h"

#include <functional>
#include <string>
#include <string_view>

namespace flipset {

// The parts of the run's platform a capture and a restore use.
StatePlatform StatePlatformOf(CRegistry registry, const RunPlatform& platform);

// Makes the run store the last run's snapshot before it changes anything.
// problem is called with the reason when the snapshot could not be stored;
// the run goes on either way.
void TakeSnapshotBeforeChanges(RunSequence& sequence, CRegistry registry,
                               const RunPlatform& platform,
                               std::function<void(const std::string&)> problem);

// "/capture": NameTaken when the name exists, BadUsage for a name the
// Configuration dialog would not take, StepFailed when the state cannot be
// read or the configuration written; nothing is written then.
ExitCode RunCaptureCommand(CRegistry registry, const RunPlatform& platform,
                           std::string_view nameCharacters, const VerbCommand& command,
                           OutputSink& output);

// "/preview" of a planned run: its lines on the output.
ExitCode RunPreviewCommand(CRegistry registry, const RunPlatform& platform, const ApplyPlan& plan,
                           OutputSink& output);

// "/undo": NoSuchConfiguration when there is no usable snapshot; otherwise
// as "/apply": Done, or StepFailed when a step reported an error.
ExitCode RunUndoCommand(CRegistry registry, const RunPlatform& platform, OutputSink& output,
                        RunPresenter& presenter);

}  // namespace flipset
