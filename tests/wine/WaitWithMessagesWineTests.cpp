// The responsive wait against a real window on the test's thread.

#include "engine/Win32WaitWithMessages.h"

#include <gtest/gtest.h>

namespace flipset {
namespace {

constexpr UINT kPing = WM_APP + 1;
int g_pings = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kPing) {
        ++g_pings;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class WaitWithMessagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = CountingProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "FlipsetWaitTest";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "FlipsetWaitTest", "wait", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        child = CreateWindowExA(0, "FlipsetWaitTest", "child", WS_CHILD, 0, 0, 10, 10, window,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        other = CreateWindowExA(0, "FlipsetWaitTest", "other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        ASSERT_NE(child, nullptr);
        ASSERT_NE(other, nullptr);
        g_pings = 0;
    }
    void TearDown() override
    {
        DestroyWindow(other);
        DestroyWindow(window);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    HWND window = nullptr;
    HWND child = nullptr;
    HWND other = nullptr;
};

TEST_F(WaitWithMessagesTest, LastsAtLeastTheDurationAndHandlesTheWindowsMessages)
{
    PostMessageA(window, kPing, 0, 0);
    PostMessageA(child, kPing, 0, 0);
    const DWORD start = GetTickCount();
    WaitWithMessages(window, 300);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 300u);
    EXPECT_LT(elapsed, 5000u);
    EXPECT_EQ(g_pings, 2);
}

TEST_F(WaitWithMessagesTest, HandlesMessagesThatArriveDuringTheWait)
{
    // A window timer fires every 20 ms: each of its messages is handled
    // while the wait goes on.
    struct Timer {
        static void CALLBACK Fire(HWND target, UINT, UINT_PTR, DWORD)
        {
            PostMessageA(target, kPing, 0, 0);
        }
    };
    SetTimer(window, 1, 20, Timer::Fire);
    WaitWithMessages(window, 400);
    KillTimer(window, 1);
    EXPECT_GE(g_pings, 3);
}

TEST_F(WaitWithMessagesTest, ZeroOrNoWindowReturnsAtOnceWithoutHandlingMessages)
{
    PostMessageA(window, kPing, 0, 0);
    WaitWithMessages(window, 0);
    EXPECT_EQ(g_pings, 0);

    const DWORD start = GetTickCount();
    WaitWithMessages(nullptr, 2000);
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(g_pings, 0);
}

TEST_F(WaitWithMessagesTest, LeavesOtherWindowsMessagesQueuedAndStillEndsOnTime)
{
    PostMessageA(other, kPing, 0, 0);
    const DWORD start = GetTickCount();
    WaitWithMessages(window, 200);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 200u);
    EXPECT_LT(elapsed, 5000u);
    EXPECT_EQ(g_pings, 0);
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, other, kPing, kPing, PM_NOREMOVE));
}

}  // namespace
}  // namespace flipset
