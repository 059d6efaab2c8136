// Opens every window of flipset.exe in turn, as a user would, and asks for a
// picture of each: scripts/screenshots.sh takes the pictures.
//
// usage: flipset_screenshot_driver FLIPSET_EXE REQUEST_FOLDER
//
// For each window the driver writes REQUEST_FOLDER\NAME.request holding the
// window's place on the screen as WIDTHxHEIGHT+X+Y, and waits until the
// script has taken the picture and removed the file. It writes
// REQUEST_FOLDER\done when it has finished (with "failed" in it when a
// window did not appear).

#include "resource.h"
#include "wine/TestConstants.h"
#include "wine/ui/UiDriver.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

using flipset::kTitle;
using flipset::ui::Ui;
using flipset::ui::UiScript;

constexpr DWORD kPictureTimeout = 30000;

class Pictures {
public:
    explicit Pictures(std::string folder) : folder_(std::move(folder)) {}

    // Asks for a picture of the window once it has painted, and waits for it.
    void Take(Ui& ui, HWND window, const std::string& name) const
    {
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(500);
        RECT rect{};
        if (!GetWindowRect(window, &rect))
            ui.Fail("no place on the screen for " + name);
        const std::string request = folder_ + "\\" + name + ".request";
        {
            std::ofstream out(request);
            out << (rect.right - rect.left) << 'x' << (rect.bottom - rect.top) << '+' << rect.left
                << '+' << rect.top << '\n';
        }
        const DWORD start = GetTickCount();
        while (GetFileAttributesA(request.c_str()) != INVALID_FILE_ATTRIBUTES) {
            if (GetTickCount() - start > kPictureTimeout)
                ui.Fail("nobody took the picture " + name);
            Sleep(50);
        }
    }

    void Done(bool succeeded) const
    {
        std::ofstream(folder_ + "\\done") << (succeeded ? "ok" : "failed") << '\n';
    }

private:
    std::string folder_;
};

// Opens the window with the button and takes its picture.
HWND OpenAndShoot(Ui& ui, const Pictures& pictures, HWND from, int button,
                  const std::string& caption, const std::string& name)
{
    ui.Click(from, button);
    HWND window = ui.WaitForWindow(caption, "#32770");
    pictures.Take(ui, window, name);
    return window;
}

// As Escape does: not every dialog has a Cancel button.
void Close(Ui& ui, HWND window)
{
    ui.SendCommand(window, IDCANCEL);
    ui.WaitUntilGone(window);
}

void Script(Ui& ui, const Pictures& pictures)
{
    HWND main = ui.WaitForWindow(kTitle, "#32770");
    pictures.Take(ui, main, "main-window");

    ui.SelectListItem(main, IDC_MAIN_CONFIGURATIONS, "Office");
    HWND configuration =
        OpenAndShoot(ui, pictures, main, IDC_MAIN_EDIT, "Configuration", "configuration");

    HWND files =
        OpenAndShoot(ui, pictures, configuration, IDC_CONFIG_FILES, "SystemFiles", "system-files");
    Close(ui, OpenAndShoot(ui, pictures, files, IDC_SYSTEM_FILES_HOSTS, "Editor",
                           "system-files-editor"));
    Close(ui, files);

    HWND select = OpenAndShoot(ui, pictures, configuration, IDC_CONFIG_NETWORK,
                               "Select the Network Interface Card", "network-card-selection");
    ui.SelectListItem(select, IDC_CARD_SELECT_LIST, 0);
    ui.Click(select, IDOK);
    ui.WaitUntilGone(select);
    HWND setup = ui.WaitForWindow("Setup the Network Interface Card", "#32770");
    pictures.Take(ui, setup, "network-card-setup");
    Close(ui, setup);

    Close(ui, OpenAndShoot(ui, pictures, configuration, IDC_CONFIG_INTERNET_EXPLORER,
                           "Select the homepage", "start-page"));
    Close(ui, OpenAndShoot(ui, pictures, configuration, IDC_CONFIG_DESKTOP_SOUND,
                           "Desktop and Sound", "desktop-and-sound"));

    HWND runList =
        OpenAndShoot(ui, pictures, configuration, IDC_CONFIG_RUN, "Selection", "programs-to-run");
    Close(ui, OpenAndShoot(ui, pictures, runList, IDC_SELECTION_ADD, "Select a file to run",
                           "program-picker"));
    Close(ui, runList);

    HWND services =
        OpenAndShoot(ui, pictures, configuration, IDC_CONFIG_SERVICES, "Services", "services");
    HWND startList =
        OpenAndShoot(ui, pictures, services, IDC_SERVICES_START, "Selection", "services-to-start");
    Close(ui, OpenAndShoot(ui, pictures, startList, IDC_SELECTION_ADD, "Service to stop",
                           "service-picker"));
    Close(ui, startList);
    Close(ui, services);

    Close(ui, OpenAndShoot(ui, pictures, configuration, IDC_CONFIG_PROXY, "Proxy", "proxy"));
    Close(ui,
          OpenAndShoot(ui, pictures, configuration, IDC_CONFIG_LOCATION, "Location", "location"));

    Close(ui, configuration);

    // What a run of the selected configuration would change.
    ui.SendCommand(main, IDM_LIST_PREVIEW);
    HWND preview = ui.WaitForWindow("Preview of a run of Office", "#32770");
    pictures.Take(ui, preview, "run-preview");
    Close(ui, preview);

    ui.Click(main, IDC_MAIN_CLOSE);
    ui.WaitUntilGone(main);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: flipset_screenshot_driver FLIPSET_EXE REQUEST_FOLDER\n");
        return 2;
    }
    const Pictures pictures(argv[2]);
    std::string commandLine = std::string("\"") + argv[1] + "\" /NONICCHANGE";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "could not start %s\n", argv[1]);
        pictures.Done(false);
        return 1;
    }
    UiScript script(30000);
    script.Then([&](Ui& ui) { Script(ui, pictures); });
    const bool succeeded = script.Drive(process.dwProcessId);
    if (WaitForSingleObject(process.hProcess, 10000) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    pictures.Done(succeeded);
    return succeeded ? 0 : 1;
}
