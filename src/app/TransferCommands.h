// "/export" and "/import": the verbs that write configurations to a file
// and read them back. The file format, its checks and the registry work
// belong to the configuration file code; these functions only hand the
// parsed command to it and report its result.
#pragma once

#include "app/CommandVerbs.h"
#include "app/OutputSink.h"
#include "store/Registry.h"

namespace flipset {

// "/export FILE [NAME ...]": command.file and command.names (none: every
// configuration).
ExitCode RunExportCommand(CRegistry registry, const VerbCommand& command, OutputSink& output);

// "/import FILE [/replace]": command.file and command.replace.
ExitCode RunImportCommand(CRegistry registry, const VerbCommand& command, OutputSink& output);

}  // namespace flipset
