// What a run would change: the state the run's own decisions make of the
// state captured now, and the differences between two states as
// "before -> after" lines, area by area. The same comparison of a capture
// before a run with one after it gives the same lines.
#pragma once

#include "base/Text.h"
#include "state/MachineState.h"

#include <string>

namespace flipset {

class RunContext;

// The state after a run of the selected configuration with the host's
// option boxes, starting from before (captured with RunScope), assuming
// every step succeeds.
MachineState PredictRun(const RunContext& ctx, const MachineState& before);

// The differences, area by area in the run's order; nothing for equal
// states. Parts that only one of the states holds are not compared.
StringList DescribeChanges(const MachineState& before, const MachineState& after);

// The preview of a run: the changes, then what would not change, then what
// an undo could not take back (the programs it would start), and last the
// configuration's location where it has one ("Location: ask first when
// ...", a faulty one named with its values).
StringList PreviewRun(const RunContext& ctx, const MachineState& before);

}  // namespace flipset
