#include "app/Win32Tray.h"

#include "app/ApplyCommand.h"
#include "app/PreviewDialog.h"
#include "app/StartWithWindows.h"
#include "app/StateCommands.h"
#include "app/TrayController.h"
#include "app/VerbCommandRunner.h"
#include "app/Win32RunTurnLock.h"
#include "app/Win32Platform.h"
#include "base/Win32Handles.h"
#include "network/Win32InterfaceConfigurator.h"
#include "network/Win32NetworkObserver.h"
#include "resource.h"
#include "store/ConfigurationSchema.h"
#include "store/Win32RegistryBackend.h"
#include "ui/LoadText.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace flipset {

namespace {

// One tray a session.
constexpr const char* kTrayMutexName = "Local\\Quillon.Flipset.Tray";
// A second start tells the first one through its window.
constexpr UINT kAnotherTrayMessage = WM_APP + 2;
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollInterval = 2000;
constexpr UINT kIconId = 1;

// The menu's command ids: a range for each part.
constexpr UINT kFirstRunCommand = 1000;
constexpr UINT kFirstPreviewCommand = 2000;
constexpr UINT kFirstActionCommand = 3000;

struct MenuHandleTraits {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle handle) { return DestroyMenu(handle) != FALSE; }
};
using MenuHandle = UniqueHandle<MenuHandleTraits>;

LocationTime Now()
{
    return LocationTime(static_cast<LocationTime::rep>(GetTickCount64()));
}

std::string OwnProgramPath()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    return length > 0 && length < sizeof(path) ? std::string(path, length) : std::string();
}

// Copies text into a fixed field of the icon's data, cut to fit.
template <size_t N>
void CopyField(char (&field)[N], const std::string& text)
{
    const size_t length = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

class StringTableTexts : public TrayTexts {
public:
    std::string Text(int id, const StringList& arguments) const override
    {
        return FormatText(static_cast<UINT>(id), arguments);
    }
};

// Output lines kept for the preview window.
class CollectedLines : public OutputSink {
public:
    StringList lines;
    void WriteLine(const std::string& line) override { lines.push_back(line); }
};

class TrayWindow : public TrayPlatform {
public:
    TrayWindow()
        : observer_(interfaces_),
          controller_(Registry(), observer_, *this, texts_),
          program_(OwnProgramPath())
    {
    }

    bool Create();
    void RunMessageLoop();

    // TrayPlatform
    bool StartRun(const std::string& configuration) override
    {
        return StartChild(" /apply " + QuotedArgument(configuration));
    }
    bool StartUndo() override { return StartChild(" /undo"); }
    void Notify(const TrayNotification& notification) override;
    void SetTip(const std::string& tip) override;
    RunsSeen LookAtRuns(RegistryRoot root) override
    {
        return {RunTurnTaken(), registryBackend_.LastWriteTime(root, kProgramSettingsKey)};
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    CRegistry Registry() { return CRegistry(registryBackend_); }
    NOTIFYICONDATAA IconData(UINT flags) const;
    void AddIcon();
    bool StartChild(const std::string& arguments);
    void ChildEnded();
    void ShowMenu(POINT at);
    void Choose(const TrayMenu& menu, UINT command);
    void Preview(const std::string& configuration);
    void OpenMainWindow();

    Win32RegistryBackend registryBackend_;
    Win32InterfaceConfigurator interfaces_;
    Win32NetworkObserver observer_;
    StringTableTexts texts_;
    TrayController controller_;
    std::string program_;
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    UINT taskbarCreated_ = 0;
    std::string tip_;
    KernelHandle child_;  // the run in progress
};

NOTIFYICONDATAA TrayWindow::IconData(UINT flags) const
{
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof(data);
    data.hWnd = window_;
    data.uID = kIconId;
    data.uFlags = flags;
    return data;
}

void TrayWindow::AddIcon()
{
    NOTIFYICONDATAA data = IconData(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    data.uCallbackMessage = kTrayIconMessage;
    data.hIcon = icon_;
    CopyField(data.szTip, tip_.empty() ? LoadText(IDS_TRAY_TITLE) : tip_);
    Shell_NotifyIconA(NIM_ADD, &data);
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconA(NIM_SETVERSION, &data);
}

bool TrayWindow::Create()
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kTrayWindowClass;
    if (RegisterClassA(&windowClass) == 0)
        return false;
    // A hidden top-level window rather than a message-only one: the shell
    // sends the icon's events and "TaskbarCreated" to top-level windows.
    window_ = CreateWindowExA(0, kTrayWindowClass, LoadText(IDS_TRAY_TITLE).c_str(), WS_POPUP, 0, 0,
                              0, 0, nullptr, nullptr, instance, this);
    if (window_ == nullptr)
        return false;
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    icon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_FLIPSET), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    AddIcon();
    SetTimer(window_, kPollTimer, kPollInterval, nullptr);
    controller_.Poll(Now());
    return true;
}

LRESULT CALLBACK TrayWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<TrayWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<TrayWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        // Out of memory in a handler: that event is dropped, the tray goes on.
        return 0;
    }
}

LRESULT TrayWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == kPollTimer)
            controller_.Poll(Now());
        return 0;
    case kTrayIconMessage:
        switch (LOWORD(lParam)) {
        case WM_CONTEXTMENU:
        case NIN_SELECT:
        case NIN_KEYSELECT:
            ShowMenu(POINT{static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam))});
            break;
        case NIN_BALLOONUSERCLICK:
            controller_.NotificationClicked();
            break;
        case NIN_BALLOONTIMEOUT:
            controller_.NotificationClosed();
            break;
        default:
            break;
        }
        return 0;
    case kAnotherTrayMessage:
        Notify({LoadText(IDS_TRAY_ALREADY_RUNNING)});
        return 0;
    case WM_DESTROY: {
        KillTimer(window_, kPollTimer);
        NOTIFYICONDATAA data = IconData(0);
        Shell_NotifyIconA(NIM_DELETE, &data);
        PostQuitMessage(0);
        return 0;
    }
    default:
        if (message == taskbarCreated_ && taskbarCreated_ != 0) {
            // The shell started again: the icon is added anew.
            AddIcon();
            return 0;
        }
        return DefWindowProcA(window_, message, wParam, lParam);
    }
}

void TrayWindow::Notify(const TrayNotification& notification)
{
    NOTIFYICONDATAA data = IconData(NIF_INFO);
    CopyField(data.szInfo, notification.text);
    CopyField(data.szInfoTitle, LoadText(IDS_TRAY_TITLE));
    data.dwInfoFlags = NIIF_INFO;
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void TrayWindow::SetTip(const std::string& tip)
{
    tip_ = tip;
    NOTIFYICONDATAA data = IconData(NIF_TIP | NIF_SHOWTIP);
    CopyField(data.szTip, tip);
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

// The run is a "/apply" or "/undo" of this program: its progress window, its
// messages, its own request for administrator rights and its turn, as on
// the command line; the tray itself keeps running without the rights.
bool TrayWindow::StartChild(const std::string& arguments)
{
    std::string commandLine = "\"" + program_ + "\"" + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    child_ = KernelHandle(process.hProcess);
    return true;
}

void TrayWindow::ChildEnded()
{
    DWORD exitCode = static_cast<DWORD>(ExitCode::StepFailed);
    GetExitCodeProcess(child_.Get(), &exitCode);
    child_.Close();
    controller_.RunEnded(static_cast<int>(exitCode), Now());
}

void TrayWindow::ShowMenu(POINT at)
{
    const TrayMenu menu = controller_.Menu(ListBoxOrder, StartsWithWindows(Registry()));
    MenuHandle popup(CreatePopupMenu());
    HMENU previews = CreatePopupMenu();
    if (!popup || previews == nullptr) {
        if (previews != nullptr)
            DestroyMenu(previews);
        return;
    }
    auto append = [](HMENU into, const TrayMenuEntry& entry, UINT id) {
        AppendMenuA(into,
                    MF_STRING | (entry.checked ? MF_CHECKED : 0) | (entry.enabled ? 0 : MF_GRAYED),
                    id, entry.text.c_str());
    };
    for (size_t i = 0; i < menu.runs.size(); ++i)
        append(popup.Get(), menu.runs[i], kFirstRunCommand + static_cast<UINT>(i));
    for (size_t i = 0; i < menu.previews.size(); ++i)
        append(previews, menu.previews[i], kFirstPreviewCommand + static_cast<UINT>(i));
    AppendMenuA(popup.Get(), MF_SEPARATOR, 0, nullptr);
    // The submenu is destroyed with the menu it was appended to.
    AppendMenuA(popup.Get(), MF_POPUP | (menu.previews.empty() ? MF_GRAYED : 0),
                reinterpret_cast<UINT_PTR>(previews), menu.previewTitle.c_str());
    for (size_t i = 0; i < menu.actions.size(); ++i) {
        const TrayCommand command = menu.actions[i].command;
        if (command == TrayCommand::Undo || command == TrayCommand::Open ||
            command == TrayCommand::Exit)
            AppendMenuA(popup.Get(), MF_SEPARATOR, 0, nullptr);
        append(popup.Get(), menu.actions[i], kFirstActionCommand + static_cast<UINT>(i));
    }
    // The menu closes when the user clicks elsewhere only while the
    // window is in the foreground.
    SetForegroundWindow(window_);
    const UINT command = static_cast<UINT>(TrackPopupMenu(
        popup.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y,
        0, window_, nullptr));
    PostMessageA(window_, WM_NULL, 0, 0);
    if (command != 0)
        Choose(menu, command);
}

void TrayWindow::Choose(const TrayMenu& menu, UINT command)
{
    if (command >= kFirstActionCommand) {
        const size_t index = command - kFirstActionCommand;
        if (index >= menu.actions.size())
            return;
        switch (menu.actions[index].command) {
        case TrayCommand::Undo:
            controller_.UndoLastRun();
            break;
        case TrayCommand::Open:
            OpenMainWindow();
            break;
        case TrayCommand::Pause:
            controller_.SetPaused(!controller_.IsPaused());
            break;
        case TrayCommand::StartWithWindows:
            if (!SetStartWithWindows(Registry(), !menu.actions[index].checked, program_))
                Notify({LoadText(IDS_TRAY_START_WITH_WINDOWS_FAILED)});
            break;
        case TrayCommand::Exit:
            DestroyWindow(window_);
            break;
        case TrayCommand::Run:
        case TrayCommand::Preview:
            break;
        }
    } else if (command >= kFirstPreviewCommand) {
        const size_t index = command - kFirstPreviewCommand;
        if (index < menu.previews.size())
            Preview(menu.previews[index].configuration);
    } else if (command >= kFirstRunCommand) {
        const size_t index = command - kFirstRunCommand;
        if (index < menu.runs.size() && !menu.runs[index].configuration.empty())
            controller_.RunByHand(menu.runs[index].configuration);
    }
}

// What "/preview NAME" writes, in the main window's preview window.
void TrayWindow::Preview(const std::string& configuration)
{
    Win32Platform platform;
    CollectedLines output;
    VerbCommand command;
    command.verb = Verb::Preview;
    command.name = configuration;
    ApplyPlan plan;
    if (PlanApply(platform.Registry(), platform.system, command, output, plan))
        RunPreviewCommand(platform.Registry(), platform.run, plan, output);
    // The preview window's controls: the common controls' library is
    // loaded only now, which keeps its megabyte out of an idle tray.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    PreviewDialog().Execute(nullptr, FormatText(IDS_PREVIEW_TITLE, {configuration}), output.lines);
}

void TrayWindow::OpenMainWindow()
{
    std::string commandLine = "\"" + program_ + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessA(program_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

// Waits in the kernel for a message or for the run's process to end, so
// that an idle tray costs no processor time between its polls.
void TrayWindow::RunMessageLoop()
{
    for (;;) {
        HANDLE child = child_.Get();
        const DWORD count = child != nullptr ? 1 : 0;
        const DWORD result = MsgWaitForMultipleObjectsEx(count, count ? &child : nullptr, INFINITE,
                                                         QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (count == 1 && result == WAIT_OBJECT_0)
            ChildEnded();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

int RunTray()
{
    KernelHandle mutex(CreateMutexA(nullptr, FALSE, kTrayMutexName));
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        // The first one may still be making its window: it is looked for a
        // few times.
        for (int attempt = 0; attempt < 20; ++attempt) {
            if (const HWND first = FindWindowA(kTrayWindowClass, nullptr)) {
                PostMessageA(first, kAnotherTrayMessage, 0, 0);
                break;
            }
            Sleep(100);
        }
        return 0;
    }
    TrayWindow tray;
    if (!tray.Create())
        return 0;
    tray.RunMessageLoop();
    return 0;
}

}  // namespace flipset
