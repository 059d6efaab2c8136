// The help balloons of the buttons, against real windows: a host window with
// one push button taken over by a TipButton. Mouse messages are sent to the
// button directly. The cursor rests on the button's middle: away from the
// balloon's anchor (the button's corner), yet over the button, so that the
// platform's own leave tracking stays quiet.

#include "base/Win32Handles.h"
#include "resource.h"
#include "ui/LoadText.h"
#include "ui/TipButton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

namespace flipset {
namespace {

constexpr const char* kHostClass = "FlipsetBalloonTestHost";
// The host sits topmost near the screen's lower left corner, away from the
// centred windows that other test programs may show on the same display
// meanwhile: a window over the button would end the mouse tracking.
constexpr RECT kHostRect = {16, 560, 416, 720};
constexpr RECT kButtonRect = {220, 70, 340, 100};  // in the host's client area
constexpr const char* kTipText = "Add a new configuration";

// Handles the thread's messages until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeout)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (condition())
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeout)
            return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, timeout - elapsed < 20 ? timeout - elapsed : 20,
                                    QS_ALLINPUT, 0);
    }
}

void Pump(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

// The size of the text in the balloon's font, as the platform measures it.
SIZE MeasureTipText(const char* text)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT rect{0, 0, 0, 0};
    DrawTextA(dc, text, -1, &rect, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

DWORD QueryTracking(HWND window)
{
    TRACKMOUSEEVENT query{};
    query.cbSize = sizeof(query);
    query.dwFlags = TME_QUERY;
    query.hwndTrack = window;
    if (!TrackMouseEvent(&query) || query.hwndTrack != window)
        return 0;
    return query.dwFlags;
}

class BalloonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kHostClass;
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        RegisterClassA(&windowClass);  // fails harmlessly from the second test on

        host_ = CreateWindowExA(WS_EX_TOPMOST, kHostClass, "balloon host", WS_POPUP, kHostRect.left,
                                kHostRect.top, kHostRect.right - kHostRect.left,
                                kHostRect.bottom - kHostRect.top, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(host_, nullptr);
        button_ =
            CreateWindowExA(0, "BUTTON", "Add", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                            kButtonRect.left, kButtonRect.top, kButtonRect.right - kButtonRect.left,
                            kButtonRect.bottom - kButtonRect.top, host_,
                            reinterpret_cast<HMENU>(1001), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(button_, nullptr);
        ASSERT_TRUE(GetWindowRect(button_, &buttonScreen_));
    }

    void TearDown() override
    {
        if (host_ != nullptr)
            DestroyWindow(host_);
        Pump(0);
    }

    // Takes over the button and shows the host; the balloon window is created
    // at the button's first paint. The cursor is put on the button's middle
    // first, so that the moves it causes are handled before the take-over.
    void Start(const char* tipText, int pointerPosition)
    {
        SetCursorPos((buttonScreen_.left + buttonScreen_.right) / 2,
                     (buttonScreen_.top + buttonScreen_.bottom) / 2);
        tip_.SetTipText(tipText);
        tip_.SetPointerPosition(pointerPosition);
        ASSERT_TRUE(tip_.Attach(button_));
        ShowWindow(host_, SW_SHOWNOACTIVATE);
        UpdateWindow(host_);
        ASSERT_TRUE(PumpUntil([&] { return tip_.BalloonWindow() != nullptr; }, 5000));
        balloon_ = tip_.BalloonWindow();
        Pump(50);
    }

    bool BalloonVisible() const { return IsWindowVisible(balloon_) != FALSE; }

    void Hover() { SendMessageA(button_, WM_MOUSEHOVER, 0, MAKELPARAM(40, 15)); }
    void Leave() { SendMessageA(button_, WM_MOUSELEAVE, 0, 0); }
    void Move() { SendMessageA(button_, WM_MOUSEMOVE, 0, MAKELPARAM(40, 15)); }

    HWND host_ = nullptr;
    HWND button_ = nullptr;
    HWND balloon_ = nullptr;
    RECT buttonScreen_{};
    TipButton tip_;
};

TEST_F(BalloonTest, EmptyTipTextNeverShowsABalloon)
{
    Start("", 2);
    Hover();
    EXPECT_FALSE(PumpUntil([&] { return BalloonVisible(); }, 500));

    // The hover ended the tracking request: the next move asks for a hover
    // again.
    Move();
    EXPECT_TRUE(QueryTracking(button_) & TME_HOVER);
}

struct PlacementCase {
    int pointerPosition;
    // How far right of the button's upper left corner the pointer's tip lies.
    int tipOffset;
};

void PrintTo(const PlacementCase& c, std::ostream* out)
{
    *out << "pointer position " << c.pointerPosition;
}

class BalloonPlacementTest : public BalloonTest,
                             public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(BalloonPlacementTest, HoverShowsTheShapedBalloonPointingAtTheButtonsCorner)
{
    const PlacementCase& c = GetParam();
    Start(kTipText, c.pointerPosition);
    const HWND activeBefore = GetActiveWindow();

    Hover();
    ASSERT_TRUE(PumpUntil([&] { return BalloonVisible(); }, 5000));

    EXPECT_NE(GetForegroundWindow(), balloon_);
    EXPECT_EQ(GetActiveWindow(), activeBefore);

    const SIZE text = MeasureTipText(kTipText);
    const int w = text.cx + 24;
    const int h = text.cy + 20;
    RECT rect;
    ASSERT_TRUE(GetWindowRect(balloon_, &rect));
    EXPECT_EQ(rect.right - rect.left, w);
    EXPECT_EQ(rect.bottom - rect.top, h + 25);

    // The pointer's tip is 12 pixels in from the balloon's side and 15 below
    // its body.
    const int tipX = c.pointerPosition == 2 ? rect.left + 12 : rect.right - 12;
    EXPECT_EQ(tipX, buttonScreen_.left + c.tipOffset);
    EXPECT_EQ(rect.top + h + 15, buttonScreen_.top);

    // The window is cut to the rounded body and the pointer.
    RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    const int kind = GetWindowRgn(balloon_, region.Get());
    EXPECT_TRUE(kind == COMPLEXREGION || kind == SIMPLEREGION) << kind;
    EXPECT_TRUE(PtInRegion(region.Get(), w / 2, h / 2)) << "the body";
    EXPECT_FALSE(PtInRegion(region.Get(), 0, 0)) << "a rounded corner";
    EXPECT_FALSE(PtInRegion(region.Get(), w / 2, h + 5)) << "below the body";
    const int pointerX = c.pointerPosition == 2 ? 14 : w - 14;
    EXPECT_TRUE(PtInRegion(region.Get(), pointerX, h + 5)) << "the pointer";
}

INSTANTIATE_TEST_SUITE_P(PointerPositions, BalloonPlacementTest,
                         ::testing::Values(PlacementCase{1, 0}, PlacementCase{2, 24}),
                         [](const ::testing::TestParamInfo<PlacementCase>& info) {
                             return "Position" + std::to_string(info.param.pointerPosition);
                         });

TEST_F(BalloonTest, LeavingTheButtonHidesTheBalloon)
{
    Start(kTipText, 2);
    Hover();
    ASSERT_TRUE(PumpUntil([&] { return BalloonVisible(); }, 5000));
    Leave();
    EXPECT_FALSE(BalloonVisible());
    // Nothing pending brings it back.
    EXPECT_FALSE(PumpUntil([&] { return BalloonVisible(); }, 300));
}

TEST_F(BalloonTest, LeavingBeforeTheBalloonAppearsKeepsItHidden)
{
    Start(kTipText, 2);
    Hover();
    Leave();
    EXPECT_FALSE(PumpUntil([&] { return BalloonVisible(); }, 300));
}

TEST_F(BalloonTest, HidesItselfAboutThreeSecondsAfterShowingWhileTheMouseStaysOnTheButton)
{
    Start(kTipText, 1);
    Hover();
    ASSERT_TRUE(PumpUntil([&] { return BalloonVisible(); }, 5000));
    const DWORD shown = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return !BalloonVisible(); }, 10000));
    EXPECT_GE(GetTickCount() - shown, 2500u);
}

TEST_F(BalloonTest, MovingWithinTheButtonDoesNotAskForAnotherHoverUntilTheMouseLeaves)
{
    Start(kTipText, 2);
    Hover();
    ASSERT_TRUE(PumpUntil([&] { return BalloonVisible(); }, 5000));

    Move();
    EXPECT_FALSE(QueryTracking(button_) & TME_HOVER);
    EXPECT_TRUE(QueryTracking(button_) & TME_LEAVE);

    // Leaving and coming back: the mouse resting on the button shows the
    // balloon again, through the platform's own hover notice.
    Leave();
    ASSERT_FALSE(BalloonVisible());
    Move();
    EXPECT_TRUE(QueryTracking(button_) & TME_HOVER);
    EXPECT_TRUE(PumpUntil([&] { return BalloonVisible(); }, 5000));
}

TEST_F(BalloonTest, TheBalloonWindowIsDestroyedWithTheButton)
{
    Start(kTipText, 2);
    Hover();
    ASSERT_TRUE(PumpUntil([&] { return BalloonVisible(); }, 5000));
    DestroyWindow(host_);
    host_ = nullptr;
    EXPECT_FALSE(IsWindow(balloon_));
    EXPECT_EQ(tip_.BalloonWindow(), nullptr);
    EXPECT_EQ(tip_.Button(), nullptr);
}

// How a user presses the button: the message that starts the press, and the
// one that ends it (the button's click comes with the second).
struct PressCase {
    const char* name;
    UINT down;
    WPARAM downParam;
    UINT up;
    WPARAM upParam;
};

void PrintTo(const PressCase& c, std::ostream* out)
{
    *out << c.name;
}

class BalloonPressTest : public BalloonTest, public ::testing::WithParamInterface<PressCase> {};

TEST_P(BalloonPressTest, PressingTheButtonHidesTheBalloonBeforeItsAction)
{
    const PressCase& c = GetParam();
    Start(kTipText, 2);
    Hover();
    ASSERT_TRUE(PumpUntil([&] { return BalloonVisible(); }, 5000));

    SendMessageA(button_, c.down, c.downParam, MAKELPARAM(40, 15));
    EXPECT_FALSE(BalloonVisible());
    SendMessageA(button_, c.up, c.upParam, MAKELPARAM(40, 15));
    EXPECT_FALSE(PumpUntil([&] { return BalloonVisible(); }, 300));
}

INSTANTIATE_TEST_SUITE_P(
    MouseAndKeyboard, BalloonPressTest,
    ::testing::Values(PressCase{"Mouse", WM_LBUTTONDOWN, MK_LBUTTON, WM_LBUTTONUP, 0},
                      PressCase{"SpaceBar", WM_KEYDOWN, VK_SPACE, WM_KEYUP, VK_SPACE}),
    [](const ::testing::TestParamInfo<PressCase>& info) { return info.param.name; });

// A 32-bit top-down bitmap with its own memory device context.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                   nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas()
    {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Valid() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_; }
    // The pixel as 0x00RRGGBB.
    uint32_t At(int x, int y) const { return bits_[y * width_ + x] & 0xFFFFFF; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

constexpr uint32_t kBalloonFill = 0xF0F0FF;  // RGB(240, 240, 255) as 0x00RRGGBB

class BalloonInkTest : public BalloonTest, public ::testing::WithParamInterface<UINT> {};

// The text drawn in the balloon's font, not clipped, on the balloon's fill,
// where the balloon puts it: every pixel of its ink must be in the balloon's
// picture. A balloon that clips its text to the measured rectangle loses the
// ink that some fonts put past the measured width.
TEST_P(BalloonInkTest, ShowsAllTheInkOfItsText)
{
    const std::string text = LoadText(GetParam());
    ASSERT_FALSE(text.empty());
    Start(text.c_str(), 2);
    Hover();
    ASSERT_TRUE(PumpUntil([&] { return BalloonVisible(); }, 5000));
    UpdateWindow(balloon_);
    Pump(50);

    RECT rect;
    ASSERT_TRUE(GetWindowRect(balloon_, &rect));
    const SIZE measured = MeasureTipText(text.c_str());
    const int w = measured.cx + 24;
    const int h = measured.cy + 20;

    Canvas shown(rect.right - rect.left, rect.bottom - rect.top);
    ASSERT_TRUE(shown.Valid());
    HDC windowDc = GetDC(balloon_);
    ASSERT_TRUE(BitBlt(shown.Dc(), 0, 0, shown.Width(), shown.Height(), windowDc, 0, 0, SRCCOPY));
    ReleaseDC(balloon_, windowDc);

    Canvas expected(shown.Width(), shown.Height());
    ASSERT_TRUE(expected.Valid());
    HBRUSH fill = CreateSolidBrush(RGB(240, 240, 255));
    RECT all{0, 0, expected.Width(), expected.Height()};
    FillRect(expected.Dc(), &all, fill);
    DeleteObject(fill);
    SetBkMode(expected.Dc(), TRANSPARENT);
    HGDIOBJ previousFont = SelectObject(expected.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    RECT textRect{12, 10, 12 + measured.cx, 10 + measured.cy};
    DrawTextA(expected.Dc(), text.c_str(), -1, &textRect,
              DT_LEFT | DT_TOP | DT_NOPREFIX | DT_NOCLIP);
    SelectObject(expected.Dc(), previousFont);

    // Inside the frame (3 pixels of fill and the outline) only the text is
    // drawn.
    int inkRight = -1, shownInkRight = -1, missing = 0;
    for (int y = 4; y < h - 4; ++y) {
        for (int x = 4; x < w - 4; ++x) {
            if (shown.At(x, y) != kBalloonFill)
                shownInkRight = std::max(shownInkRight, x);
            if (expected.At(x, y) == kBalloonFill)
                continue;
            inkRight = std::max(inkRight, x);
            if (shown.At(x, y) != expected.At(x, y))
                ++missing;
        }
    }
    EXPECT_GT(inkRight, 12) << "the text left no ink";
    EXPECT_EQ(missing, 0) << "\"" << text << "\": ink to x " << inkRight << ", shown to x "
                          << shownInkRight << ", measured text from 12 to " << 12 + measured.cx;
}

INSTANTIATE_TEST_SUITE_P(EveryMainWindowButton, BalloonInkTest,
                         ::testing::Values(IDS_TIP_ADD, IDS_TIP_DELETE, IDS_TIP_EDIT, IDS_TIP_RUN,
                                           IDS_TIP_CLOSE, IDS_TIP_ENABLE_ALL_NOW,
                                           IDS_TIP_DISABLE_ALL_NOW),
                         [](const ::testing::TestParamInfo<UINT>& info) {
                             return "Text" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace flipset
