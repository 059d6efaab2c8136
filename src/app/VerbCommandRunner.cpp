#include "app/VerbCommandRunner.h"

#include "app/ApplyCommand.h"
#include "app/RunProgressDialog.h"
#include "app/StateCommands.h"
#include "app/TransferCommands.h"
#include "app/Win32ConsoleOutput.h"
#include "app/Win32Platform.h"
#include "editor/ConfigurationDialog.h"
#include "resource.h"
#include "transfer/Win32CodePage.h"
#include "transfer/Win32FileAccess.h"
#include "ui/LoadText.h"

#include <commctrl.h>
#include <objbase.h>

#include <sstream>

namespace flipset {

namespace {

void WriteUsage(OutputSink& output)
{
    std::istringstream lines(UsageText());
    for (std::string line; std::getline(lines, line);)
        output.WriteLine(line);
}

// The order of the main window's sorted list box: the user's locale,
// letter case ignored.
bool ListBoxOrder(const std::string& a, const std::string& b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_LESS_THAN;
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

ExitCode Apply(Win32Platform& platform, const VerbCommand& command, OutputSink& output)
{
    ApplyPlan plan;
    if (!PlanApply(platform.Registry(), platform.system, command, output, plan))
        return ExitCode::NoSuchConfiguration;

    ComScope com;
    if (command.quiet) {
        // No critical-error or open-file box from the system either: a
        // script waits for nobody.
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        QuietPresenter quiet;
        return RunApply(platform.Registry(), platform.run, plan, output, quiet);
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ExitCode result = ExitCode::StepFailed;
    RunProgressDialog window([&](RunPresenter& presenter) {
        result = RunApply(platform.Registry(), platform.run, plan, output, presenter);
    });
    if (!window.RunWork()) {
        WriteErrorLine(output, LoadText(IDS_RUN_NOT_CARRIED_OUT));
        return ExitCode::StepFailed;
    }
    return result;
}

// Undo shows itself as a run does: quietly, or in the progress window.
ExitCode Undo(Win32Platform& platform, const VerbCommand& command, OutputSink& output)
{
    ComScope com;
    if (command.quiet) {
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        QuietPresenter quiet;
        return RunUndoCommand(platform.Registry(), platform.run, output, quiet);
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ExitCode result = ExitCode::StepFailed;
    RunProgressDialog window([&](RunPresenter& presenter) {
        result = RunUndoCommand(platform.Registry(), platform.run, output, presenter);
    });
    if (!window.RunWork()) {
        WriteErrorLine(output, "the undo could not be carried out");
        return ExitCode::StepFailed;
    }
    return result;
}

ExitCode Run(const VerbCommand& command, OutputSink& output)
{
    if (!command.usageError.empty()) {
        WriteErrorLine(output, command.usageError);
        WriteUsage(output);
        return ExitCode::BadUsage;
    }
    Win32Platform platform;
    switch (command.verb) {
    case Verb::Help:
        WriteUsage(output);
        return ExitCode::Done;
    case Verb::List:
        return ListConfigurations(platform.Registry(), ListBoxOrder, output);
    case Verb::Apply:
        return Apply(platform, command, output);
    case Verb::Preview: {
        ApplyPlan plan;
        if (!PlanApply(platform.Registry(), platform.system, command, output, plan))
            return ExitCode::NoSuchConfiguration;
        return RunPreviewCommand(platform.Registry(), platform.run, plan, output);
    }
    case Verb::Undo:
        return Undo(platform, command, output);
    case Verb::Capture:
        return RunCaptureCommand(platform.Registry(), platform.run, LoadNameCharacters(), command,
                                 output);
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

int RunVerbCommand(const std::string& commandLine)
{
    Win32ConsoleOutput output;
    try {
        return static_cast<int>(Run(ParseVerbCommand(commandLine), output));
    } catch (...) {
        // Out of memory: whatever the verb had done is reported as a failure,
        // with a text that needs no memory to load.
        WriteErrorLine(output, "out of memory");
        return static_cast<int>(ExitCode::StepFailed);
    }
}

}  // namespace flipset
