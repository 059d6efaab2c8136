#include "app/MainApp.h"

#include "app/CommandLine.h"
#include "ui/ShowMessage.h"
#include "app/MainDialog.h"
#include "app/SplashDialog.h"
#include "app/StartupNetworkAction.h"
#include "app/VerbCommandRunner.h"
#include "app/Win32ComServer.h"
#include "app/Win32ElevatedStart.h"
#include "app/Win32Elevation.h"
#include "app/Win32Platform.h"
#include "app/Win32Tray.h"
#include "base/Win32ErrorText.h"
#include "resource.h"
#include "ui/LoadText.h"

#include <commctrl.h>
#include <objbase.h>

namespace flipset {

namespace {

// Message boxes before any window of the program exists.
class OwnerlessMessages : public MessageSink {
public:
    void ShowError(const std::string& text) override
    {
        flipset::ShowMessage(nullptr, text, MB_OK | MB_ICONSTOP);
    }
    void ShowMessage(const std::string& text) override
    {
        flipset::ShowMessage(nullptr, text, MB_OK);
    }
};

// Offers to start the program again with administrator rights, once, before
// anything else shows: true when the copy has started and this one ends.
// Declining, at the offer or at the system's prompt, goes on without them.
bool StartedAgainWithRights(const std::string& commandLine)
{
    if (ShowMessage(nullptr, LoadText(IDS_RIGHTS_OFFER), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    const ElevatedStart copy = StartElevatedCopy(ArgumentText(commandLine), nullptr);
    if (copy.process)
        return true;
    if (copy.error != ERROR_CANCELLED)
        ShowMessage(nullptr, FormatText(IDS_RIGHTS_START_FAILED, {SystemErrorText(copy.error)}),
                    MB_OK | MB_ICONSTOP);
    return false;
}

}  // namespace

int MainApp::Run(const std::string& commandLine)
{
    // Read before any copy of the program starts.
    const Win32Elevation elevation;
    // The tray runs without administrator rights: each of its runs asks
    // for them as the verbs do.
    if (IsTrayCommandLine(commandLine))
        return RunTray();
    // A verb command is a script's: it never reaches the COM step, the
    // start-up network action, the splash or the main window.
    if (IsVerbCommandLine(commandLine))
        return RunVerbCommand(commandLine, elevation);
    if (InitInstance(commandLine, elevation))
        RunServerMessageLoop();
    ExitInstance();
    return 0;
}

bool MainApp::InitInstance(const std::string& commandLine, const Elevation& elevation)
{
    if (!comServer_.Start(commandLine))
        return false;

    const StringList tokens = SplitCommandLine(commandLine);
    if (IsStartedAsComServer(tokens))
        return true;

    comInitialized_ = SUCCEEDED(CoInitialize(nullptr));
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                                        ICC_INTERNET_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    Win32Platform platform;
    if (LacksAdministratorRights(platform.system, elevation) && StartedAgainWithRights(commandLine))
        return false;
    OwnerlessMessages messages;
    if (!ApplyStartupNetworkAction(platform.Registry(), platform.devices, messages,
                                   platform.system, elevation, tokens))
        messages.ShowError(LoadText(IDS_RIGHTS_STARTUP_ACTION_SKIPPED));

    SplashDialog().RunModal(nullptr);
    MainDialog(platform.Registry(), platform.run, elevation).RunModal(nullptr);
    return false;
}

void MainApp::ExitInstance()
{
    if (comInitialized_) {
        CoUninitialize();
        comInitialized_ = false;
    }
    comServer_.Stop();
}

// Started by the COM runtime: nothing to show and no class to serve, so the
// process waits invisibly until it is told to end.
void MainApp::RunServerMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace flipset
