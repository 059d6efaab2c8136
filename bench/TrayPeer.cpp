// The tray benchmark's peer: a resident program that does nothing but what
// every resident program with a notification icon does (a hidden window, the
// icon, a 2 s timer whose ticks do no work). Its processor time and resident
// set are the floor the system sets; the tray's are printed beside them.

#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kIconMessage = WM_APP + 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "FlipsetTrayPeer";
    if (RegisterClassA(&windowClass) == 0)
        return 1;
    const HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Tray peer", WS_POPUP, 0, 0,
                                        0, 0, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kIconMessage;
    icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(icon.szTip, "Tray peer", sizeof(icon.szTip));
    Shell_NotifyIconA(NIM_ADD, &icon);
    SetTimer(window, 1, 2000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    Shell_NotifyIconA(NIM_DELETE, &icon);
    return 0;
}
