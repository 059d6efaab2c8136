#include "app/RunTurn.h"

namespace flipset {

ExitCode RunInTurn(RunTurnLock& lock, OutputSink& output, const std::function<ExitCode()>& run)
{
    const RunTurn turn(lock);
    if (!turn.Held()) {
        WriteErrorLine(output,
                       "another run of Flipset is changing this computer, and nothing was "
                       "changed: try again when it has finished");
        return ExitCode::RunInProgress;
    }
    return run();
}

}  // namespace flipset
