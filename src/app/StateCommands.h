// The verbs built on the machine's state: "/capture NAME" (a new
// configuration of the current state), "/preview NAME [/only AREAS]" (what
// "/apply" would change) and "/undo [/quiet]" (the state from before the last
// run put back). Portable, over the run's platform services.
#pragma once

#include "app/ApplyCommand.h"
#include "app/CommandVerbs.h"
#include "app/OutputSink.h"
#include "engine/RunSequence.h"
#include "store/Registry.h"

#include <string_view>

namespace flipset {

// "/capture": NameTaken when the name exists, BadUsage for a name the store
// cannot hold (blank, control characters), StepFailed when the state cannot be
// read or the configuration written; nothing is written then.
ExitCode RunCaptureCommand(CRegistry registry, const RunPlatform& platform,
                           const VerbCommand& command, OutputSink& output);

// "/preview" of a planned run: its lines on the output.
ExitCode RunPreviewCommand(CRegistry registry, const RunPlatform& platform, const ApplyPlan& plan,
                           OutputSink& output);

// "/undo": NoSuchConfiguration when there is no usable snapshot; otherwise
// as "/apply": Done, or StepFailed when a step reported an error.
ExitCode RunUndoCommand(CRegistry registry, const RunPlatform& platform, OutputSink& output,
                        RunPresenter& presenter);

}  // namespace flipset
