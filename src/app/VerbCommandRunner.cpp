#include "app/VerbCommandRunner.h"

#include "app/ApplyCommand.h"
#include "app/RunProgressDialog.h"
#include "app/RunTurn.h"
#include "app/StateCommands.h"
#include "app/TransferCommands.h"
#include "app/WhereCommand.h"
#include "app/Win32ConsoleOutput.h"
#include "app/Win32ElevatedStart.h"
#include "app/Win32Platform.h"
#include "app/Win32RunTurnLock.h"
#include "base/Win32ErrorText.h"
#include "network/Win32NetworkObserver.h"
#include "resource.h"
#include "store/ConfigurationStore.h"
#include "store/ProgramSettings.h"
#include "transfer/Win32CodePage.h"
#include "transfer/Win32FileAccess.h"
#include "ui/LoadText.h"

#include <commctrl.h>
#include <objbase.h>

#include <functional>
#include <optional>
#include <sstream>
#include <string>

namespace flipset {

namespace {

void WriteUsage(OutputSink& output)
{
    std::istringstream lines(UsageText());
    for (std::string line; std::getline(lines, line);)
        output.WriteLine(line);
}

// COM for the run's shell calls, for as long as the verb runs.
class ComScope {
public:
    ComScope() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope()
    {
        if (initialized_)
            CoUninitialize();
    }

private:
    bool initialized_;
};

// A run or an undo, shown as the command asks: quietly, or in the progress
// window. notCarriedOut is the error line for a window that could not run it.
ExitCode PresentRun(const VerbCommand& command, OutputSink& output,
                    const std::string& notCarriedOut,
                    const std::function<ExitCode(RunPresenter&)>& work)
{
    ComScope com;
    if (command.quiet) {
        // No critical-error or open-file box from the system either: a
        // script waits for nobody.
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        QuietPresenter quiet;
        return work(quiet);
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ExitCode result = ExitCode::StepFailed;
    RunProgressDialog window([&](RunPresenter& presenter) { result = work(presenter); });
    if (!window.RunWork()) {
        WriteErrorLine(output, notCarriedOut);
        return ExitCode::StepFailed;
    }
    return result;
}

ExitCode Apply(Win32Platform& platform, const VerbCommand& command, OutputSink& output)
{
    ApplyPlan plan;
    if (!PlanApply(platform.Registry(), platform.system, command, output, plan))
        return ExitCode::NoSuchConfiguration;
    return PresentRun(
        command, output, LoadText(IDS_RUN_NOT_CARRIED_OUT), [&](RunPresenter& presenter) {
            return RunApply(platform.Registry(), platform.run, plan, output, presenter);
        });
}

ExitCode Undo(Win32Platform& platform, const VerbCommand& command, OutputSink& output)
{
    return PresentRun(
        command, output, "the undo could not be carried out", [&](RunPresenter& presenter) {
            return RunUndoCommand(platform.Registry(), platform.run, output, presenter);
        });
}

// A new empty file in the temporary folder, for the output of the copy
// started elevated; empty with the reason when none could be made.
std::string MakeOutputFile(std::string& reason)
{
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof(folder), folder);
    char path[MAX_PATH] = {};
    if (length == 0 || length > MAX_PATH || GetTempFileNameA(folder, "fls", 0, path) == 0) {
        reason = SystemErrorText(GetLastError());
        return std::string();
    }
    return path;
}

// The verb again, through "runas", with its output lines through a file:
// the copy's exit code, and its lines written to this process's output.
ExitCode RunElevatedCopy(const std::string& commandLine, OutputSink& output)
{
    std::string reason;
    const std::string outputFile = MakeOutputFile(reason);
    if (outputFile.empty()) {
        WriteErrorLine(output, FormatText(IDS_VERB_OUTPUT_FILE_FAILED, {reason}));
        return ExitCode::FileFailed;
    }
    ComScope com;
    const ElevatedStart copy =
        StartElevatedCopy(ArgumentText(commandLine) + OutputFileArguments(outputFile), nullptr);
    DWORD exitCode = static_cast<DWORD>(ExitCode::StepFailed);
    const bool started = copy.process.IsValid();
    if (started) {
        WaitForSingleObject(copy.process.Get(), INFINITE);
        GetExitCodeProcess(copy.process.Get(), &exitCode);
    }
    std::string text;
    Win32FileAccess files;
    if (started && files.ReadWholeFile(outputFile, text, reason)) {
        for (const std::string& line : SplitOutputLines(text))
            output.WriteLine(line);
    }
    DeleteFileA(outputFile.c_str());
    if (!started) {
        WriteErrorLine(output,
                       FormatText(IDS_VERB_RIGHTS_NOT_GIVEN, {SystemErrorText(copy.error)}));
        return ExitCode::NeedsRights;
    }
    return static_cast<ExitCode>(exitCode);
}

ExitCode Run(const std::string& commandLine, const VerbCommand& command, OutputSink& output,
             const Elevation& elevation)
{
    if (!command.usageError.empty()) {
        WriteErrorLine(output, command.usageError);
        WriteUsage(output);
        return ExitCode::BadUsage;
    }
    Win32Platform platform(command.quiet ? Win32Shell::Interface::None
                                         : Win32Shell::Interface::Shown);
    const RegistryRoot configurationRoot =
        ConfigurationRoot(ProgramSettings::ReadSettingsRootChoice(platform.Registry()));
    switch (DecideVerbRights(command, configurationRoot, platform.system, elevation)) {
    case VerbRights::Proceed:
        break;
    case VerbRights::Refuse:
        WriteErrorLine(output, LoadText(IDS_VERB_RIGHTS_NEEDED));
        return ExitCode::NeedsRights;
    case VerbRights::RestartElevated:
        return RunElevatedCopy(commandLine, output);
    }
    switch (command.verb) {
    case Verb::Help:
        WriteUsage(output);
        return ExitCode::Done;
    case Verb::List:
        return ListConfigurations(platform.Registry(), ListBoxOrder, output);
    case Verb::Apply: {
        Win32RunTurnLock lock;
        return RunInTurn(lock, output, [&] { return Apply(platform, command, output); });
    }
    case Verb::Preview: {
        ApplyPlan plan;
        if (!PlanApply(platform.Registry(), platform.system, command, output, plan))
            return ExitCode::NoSuchConfiguration;
        return RunPreviewCommand(platform.Registry(), platform.run, plan, output);
    }
    case Verb::Undo: {
        Win32RunTurnLock lock;
        return RunInTurn(lock, output, [&] { return Undo(platform, command, output); });
    }
    case Verb::Where: {
        Win32NetworkObserver observer(platform.interfaces);
        return RunWhereCommand(platform.Registry(), observer, output);
    }
    case Verb::Capture:
        return RunCaptureCommand(platform.Registry(), platform.run, command, output);
    case Verb::Export:
    case Verb::Import: {
        const Win32CodePage codePage;
        Win32FileAccess files;
        const TransferPlatform transfer{platform.Registry(), codePage, files};
        return command.verb == Verb::Export ? RunExportCommand(transfer, command, output)
                                            : RunImportCommand(transfer, command, output);
    }
    }
    return ExitCode::BadUsage;
}

}  // namespace

bool ListBoxOrder(const std::string& a, const std::string& b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_LESS_THAN;
}

int RunVerbCommand(const std::string& commandLine, const Elevation& elevation)
{
    Win32ConsoleOutput console;
    std::optional<Win32FileOutput> file;
    OutputSink* output = &console;
    try {
        const VerbCommand command = ParseVerbCommand(commandLine);
        if (!command.outputFile.empty())
            output = &file.emplace(command.outputFile);
        return static_cast<int>(Run(commandLine, command, *output, elevation));
    } catch (...) {
        // Out of memory: whatever the verb had done is reported as a failure,
        // with a text that needs no memory to load.
        WriteErrorLine(*output, "out of memory");
        return static_cast<int>(ExitCode::StepFailed);
    }
}

}  // namespace flipset
