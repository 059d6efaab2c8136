#include "app/TransferCommands.h"

#include "app/FirstRun.h"
#include "store/ConfigurationStore.h"
#include "store/ProgramSettings.h"
#include "transfer/ConfigurationTransfer.h"

namespace flipset {

namespace {

ConfigurationTransfer TransferFor(const TransferPlatform& platform)
{
    const RegistryRoot root =
        ConfigurationRoot(ProgramSettings::ReadSettingsRootChoice(platform.registry));
    return ConfigurationTransfer(platform.registry, root, platform.codePage, platform.files);
}

// The result's lines as they are (fault lines already start with
// "error:"), and its status as the exit code.
ExitCode Report(const TransferResult& result, OutputSink& output)
{
    output.WriteLines(result.lines);
    switch (result.status) {
    case TransferStatus::Done:
        return ExitCode::Done;
    case TransferStatus::NoSuchConfiguration:
        return ExitCode::NoSuchConfiguration;
    case TransferStatus::FileFault:
        return ExitCode::FileFailed;
    case TransferStatus::NameTaken:
        return ExitCode::NameTaken;
    }
    return ExitCode::FileFailed;
}

}  // namespace

ExitCode RunExportCommand(const TransferPlatform& platform, const VerbCommand& command,
                          OutputSink& output)
{
    return Report(TransferFor(platform).Export(command.file, command.names), output);
}

ExitCode RunImportCommand(const TransferPlatform& platform, const VerbCommand& command,
                          OutputSink& output)
{
    const TransferResult result = TransferFor(platform).Import(command.file, command.replace);
    if (result.number != 0)
        StoreSharedChoiceWhenMissing(platform.registry);
    return Report(result, output);
}

}  // namespace flipset
