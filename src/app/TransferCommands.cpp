#include "app/TransferCommands.h"

namespace flipset {

// Not connected to the configuration file code yet: the verbs refuse, say
// so, and change nothing.

ExitCode RunExportCommand(CRegistry, const VerbCommand& command, OutputSink& output)
{
    WriteErrorLine(output, "cannot write \"" + command.file +
                               "\": this build cannot export configurations yet");
    return ExitCode::FileFailed;
}

ExitCode RunImportCommand(CRegistry, const VerbCommand& command, OutputSink& output)
{
    WriteErrorLine(output, "cannot read \"" + command.file +
                               "\": this build cannot import configurations yet");
    return ExitCode::FileFailed;
}

}  // namespace flipset
