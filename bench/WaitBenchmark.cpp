// Prints how much processor time a 2000 ms responsive wait costs, for the
// program's wait and for a PeekMessageA + Sleep(0) loop, on a real window;
// also with a message for another window left pending, which the wait does
// not handle and must not spin on.
//
//   build/windows/wine-run.sh build/windows/bench/flipset_wait_benchmark.exe

#include "engine/Win32WaitWithMessages.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr uint32_t kWaitMilliseconds = 2000;

double ProcessorSeconds()
{
    FILETIME creation, exit, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

void SpinWait(HWND window, uint32_t milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        if (PeekMessageA(&message, window, 0, 0, PM_REMOVE) &&
            !IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(0);
    }
}

template <typename Wait>
void Measure(const char* what, Wait wait)
{
    const double processorBefore = ProcessorSeconds();
    const DWORD wallBefore = GetTickCount();
    wait();
    const double processor = ProcessorSeconds() - processorBefore;
    const DWORD wall = GetTickCount() - wallBefore;
    std::printf("%-48s wall %5lu ms  processor %7.1f ms  (%.1f%% of wall)\n", what,
                static_cast<unsigned long>(wall), processor * 1000.0,
                wall ? 100.0 * processor * 1000.0 / wall : 0.0);
}

}  // namespace

int main()
{
    HWND window = CreateWindowExA(0, "STATIC", "wait benchmark", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                  100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window || !other) {
        std::printf("cannot create a window (error %lu): is a display set?\n", GetLastError());
        return 1;
    }
    ShowWindow(window, SW_SHOW);

    Measure("WaitWithMessages(2000)",
            [&] { flipset::WaitWithMessages(window, kWaitMilliseconds); });
    PostMessageA(other, WM_APP, 0, 0);
    Measure("WaitWithMessages(2000), other window's message",
            [&] { flipset::WaitWithMessages(window, kWaitMilliseconds); });
    Measure("PeekMessageA + Sleep(0) loop, 2000 ms", [&] { SpinWait(window, kWaitMilliseconds); });

    DestroyWindow(other);
    DestroyWindow(window);
    return 0;
}
