// Opens every window of flipset.exe in turn, as a user would, and asks for a
// picture of each: scripts/screenshots.sh takes the pictures. Then it starts
// the tray ("flipset.exe /tray") and pictures the icon's menu.
//
// usage: flipset_screenshot_driver FLIPSET_EXE REQUEST_FOLDER
//
// For each window the driver writes REQUEST_FOLDER\NAME.request holding the
// window's place on the screen as WIDTHxHEIGHT+X+Y, and waits until the
// script has taken the picture and removed the file. It writes
// REQUEST_FOLDER\done when it has finished (with "failed" in it when a
// window did not appear).

#include "app/Win32Tray.h"
#include "resource.h"
#include "wine/FlipsetProcess.h"
#include "wine/TestConstants.h"
#include "wine/ui/UiDriver.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

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
        RECT rect{};
        if (!GetWindowRect(window, &rect))
            ui.Fail("no place on the screen for " + name);
        TakeArea(ui, {window}, rect, name);
    }

    // Asks for a picture of a part of the screen once the windows in it have
    // painted, and waits for it.
    void TakeArea(Ui& ui, const std::vector<HWND>& windows, const RECT& area,
                  const std::string& name) const
    {
        for (HWND window : windows)
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(500);
        const std::string request = folder_ + "\\" + name + ".request";
        {
            std::ofstream out(request);
            out << (area.right - area.left) << 'x' << (area.bottom - area.top) << '+' << area.left
                << '+' << area.top << '\n';
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

void MainWindowAndEditors(Ui& ui, const Pictures& pictures)
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

// The windows of the process that are menus, open.
std::vector<HWND> OpenMenus(Ui& ui)
{
    std::vector<HWND> menus;
    for (HWND window : ui.Windows()) {
        char name[16] = {};
        GetClassNameA(window, name, sizeof(name));
        if (std::string(name) == "#32768")
            menus.push_back(window);
    }
    return menus;
}

// The place of the notification area's first icon, in the taskbar's
// coordinates and on the screen: under the Wine desktop's explorer the
// icons have no windows of their own, they are drawn at the right end of
// its taskbar ("Shell_TrayWnd"), the first at the very end, each a square
// as high as the taskbar. The taskbar has its size only once it shows an
// icon: false until then.
bool FirstTrayIcon(HWND& taskbar, RECT& inTaskbar, RECT& onScreen)
{
    taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    RECT client{};
    if (taskbar == nullptr || !GetClientRect(taskbar, &client) || client.bottom <= 0)
        return false;
    inTaskbar = {client.right - client.bottom, 0, client.right, client.bottom};
    onScreen = inTaskbar;
    MapWindowPoints(taskbar, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
    return true;
}

// The icon's menu, opened as a right-click on the icon opens it, with its
// Preview submenu open, in one picture with the icon below it.
void TrayMenu(Ui& ui, const Pictures& pictures)
{
    HWND taskbar = nullptr;
    RECT inTaskbar{};
    RECT icon{};
    std::vector<HWND> menus;
    // The tray adds its icon once its window is made: the icon is
    // right-clicked until the menu shows.
    for (int attempt = 0; attempt < 20 && menus.empty(); ++attempt) {
        if (FirstTrayIcon(taskbar, inTaskbar, icon)) {
            const LPARAM middle = MAKELPARAM((inTaskbar.left + inTaskbar.right) / 2,
                                             (inTaskbar.top + inTaskbar.bottom) / 2);
            PostMessageA(taskbar, WM_RBUTTONDOWN, MK_RBUTTON, middle);
            PostMessageA(taskbar, WM_RBUTTONUP, 0, middle);
        }
        for (int wait = 0; wait < 10 && menus.empty(); ++wait, Sleep(100))
            menus = OpenMenus(ui);
    }
    if (menus.size() != 1)
        ui.Fail("the icon's menu did not open");
    const HWND menu = menus[0];
    // Down to Preview, past the two configurations; Enter opens its submenu.
    for (int i = 0; i < 3; ++i)
        ui.PressKey(menu, VK_DOWN);
    ui.PressKey(menu, VK_RETURN);
    ui.WaitUntil("the Preview submenu open", [&] {
        menus = OpenMenus(ui);
        return menus.size() == 2;
    });
    RECT area = icon;
    for (HWND open : menus) {
        RECT rect{};
        GetWindowRect(open, &rect);
        UnionRect(&area, &area, &rect);
    }
    // A margin of the desktop around them, and the taskbar below to the
    // screen's edge.
    constexpr LONG kMargin = 12;
    area.left = std::max<LONG>(0, area.left - kMargin);
    area.top = std::max<LONG>(0, area.top - kMargin);
    area.right = std::min<LONG>(GetSystemMetrics(SM_CXSCREEN), area.right + kMargin);
    area.bottom = GetSystemMetrics(SM_CYSCREEN);
    std::vector<HWND> shown = menus;
    shown.push_back(taskbar);
    pictures.TakeArea(ui, shown, area, "tray-menu");

    // Escape closes the submenu, then the menu; the keys go to the menu's
    // window, which stays until the end.
    ui.PressKey(menu, VK_ESCAPE);
    ui.WaitUntil("the submenu closed", [&] { return OpenMenus(ui).size() == 1; });
    ui.PressKey(menu, VK_ESCAPE);
    ui.WaitUntil("the menu closed", [&] { return OpenMenus(ui).empty(); });
    // Exit, as the menu's entry does it.
    PostMessageA(FindWindowA(flipset::kTrayWindowClass, nullptr), WM_CLOSE, 0, 0);
}

// Starts flipset.exe with the arguments, drives its windows and waits for
// its end.
bool Drive(const std::string& exe, const std::string& arguments,
           const std::function<void(Ui&)>& steps)
{
    const flipset::FlipsetProcess program(flipset::ProgramPath{exe}, arguments);
    if (!program.Started())
        return false;
    UiScript script(30000);
    script.Then(steps);
    const bool driven = script.Drive(program.Id());
    return program.WaitForExit(10000) && driven;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: flipset_screenshot_driver FLIPSET_EXE REQUEST_FOLDER\n");
        return 2;
    }
    const std::string exe = argv[1];
    const Pictures pictures(argv[2]);
    bool succeeded =
        Drive(exe, " /NONICCHANGE", [&](Ui& ui) { MainWindowAndEditors(ui, pictures); });
    // A run, so that the tray's menu offers its undo: Home's empty list of
    // programs, which changes nothing on the machine.
    if (succeeded) {
        const flipset::FlipsetProcess run(flipset::ProgramPath{exe},
                                          " /apply Home /only programs /quiet");
        succeeded = run.Started() && run.WaitForExit(30000) && run.ExitCode() == 0;
        if (!succeeded)
            std::fprintf(stderr, "the run of Home did not end well\n");
    }
    if (succeeded)
        succeeded = Drive(exe, " /tray", [&](Ui& ui) { TrayMenu(ui, pictures); });
    pictures.Done(succeeded);
    return succeeded ? 0 : 1;
}
