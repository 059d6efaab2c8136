// "/export" and "/import": the verbs that write configurations to a file
// and read them back. The file format, its checks and the registry work
// belong to the transfer layer; these functions hand the parsed command to
// it, under the configuration root that "UserSettings" selects, and report
// its result.
#pragma once

#include "app/CommandVerbs.h"
#include "app/OutputSink.h"
#include "store/Registry.h"
#include "transfer/CodePage.h"
#include "transfer/FileAccess.h"

namespace flipset {

// What the configuration file code needs of the machine.
struct TransferPlatform {
    CRegistry registry;
    const CodePageConverter& codePage;
    FileAccess& files;
};

// "/export FILE [NAME ...]": command.file and command.names (none: every
// configuration).
ExitCode RunExportCommand(const TransferPlatform& platform, const VerbCommand& command,
                          OutputSink& output);

// "/import FILE [/replace]": command.file and command.replace.
ExitCode RunImportCommand(const TransferPlatform& platform, const VerbCommand& command,
                          OutputSink& output);

}  // namespace flipset
