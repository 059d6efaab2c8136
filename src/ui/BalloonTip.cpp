#include "ui/BalloonTip.h"

#include "base/Win32Handles.h"

namespace flipset {
namespace {

constexpr const char* kClassName = "FlipsetBalloonTip";
constexpr COLORREF kFillColour = RGB(240, 240, 255);
constexpr UINT kShowDelay = 10;
constexpr UINT kHideCheckInterval = 3000;
// The text is measured and drawn with the same format, taken literally.
constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_NOPREFIX;

// Selects an object into a device context for the lifetime of the guard.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object != nullptr ? SelectObject(dc, object) : nullptr)
    {
    }
    ~SelectedObject()
    {
        if (previous_ != nullptr && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc()
    {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// The balloon's outline in window coordinates: the rounded body and the
// pointer. Null when the platform cannot make it.
RegionHandle CreateBalloonRegion(const BalloonLayout& layout)
{
    const BalloonRect& body = layout.body;
    RegionHandle bodyRegion(CreateRoundRectRgn(body.left, body.top, body.right, body.bottom,
                                               kBalloonCornerWidth, kBalloonCornerHeight));
    POINT corners[3];
    for (size_t i = 0; i < layout.pointer.size(); ++i)
        corners[i] = {layout.pointer[i].x, layout.pointer[i].y};
    RegionHandle pointerRegion(CreatePolygonRgn(corners, 3, ALTERNATE));
    RegionHandle shape(CreateRectRgn(0, 0, 0, 0));
    if (!bodyRegion || !pointerRegion || !shape)
        return RegionHandle();
    if (CombineRgn(shape.Get(), bodyRegion.Get(), pointerRegion.Get(), RGN_OR) == ERROR)
        return RegionHandle();
    return shape;
}

RECT ToRect(const BalloonRect& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

BalloonTip::~BalloonTip()
{
    Destroy();
}

void BalloonTip::Destroy()
{
    // WM_NCDESTROY clears window_.
    if (window_ != nullptr)
        DestroyWindow(window_);
}

bool BalloonTip::Create(HWND owner)
{
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassA(&windowClass) != 0;
    }();
    if (!registered || window_ != nullptr)
        return false;
    // WM_NCCREATE stores the window in window_.
    CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 0, 0, owner, nullptr,
                    GetModuleHandleA(nullptr), this);
    return window_ != nullptr;
}

void BalloonTip::Show(const std::string& text, std::optional<POINT> anchor)
{
    if (window_ == nullptr)
        return;
    text_ = text;
    if (anchor) {
        anchor_ = *anchor;
    } else if (!GetCursorPos(&anchor_)) {
        anchor_ = {0, 0};
    }
    StopTimer();
    StartTimer(kShowTimer, kShowDelay);
}

void BalloonTip::Hide()
{
    // A pending show is dropped too: otherwise a balloon hidden within the
    // first 10 ms would appear after all.
    StopTimer();
    if (window_ != nullptr)
        ShowWindow(window_, SW_HIDE);
}

void BalloonTip::StartTimer(UINT_PTR id, UINT milliseconds)
{
    if (SetTimer(window_, id, milliseconds, nullptr) != 0)
        timer_ = id;
}

void BalloonTip::StopTimer()
{
    if (timer_ != 0 && window_ != nullptr)
        KillTimer(window_, timer_);
    timer_ = 0;
}

LRESULT CALLBACK BalloonTip::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<BalloonTip*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<BalloonTip*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT BalloonTip::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        break;
    case WM_TIMER:
        // A timer message that was queued before its timer was stopped is
        // ignored.
        if (wParam != timer_)
            return 0;
        if (wParam == kShowTimer)
            OnShowTimer();
        else if (wParam == kHideTimer)
            OnHideTimer();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_DESTROY:
        StopTimer();
        break;
    case WM_NCDESTROY: {
        HWND window = window_;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void BalloonTip::OnShowTimer()
{
    StopTimer();

    RECT measured{0, 0, 0, 0};
    {
        WindowDc dc(window_);
        SelectedObject font(dc.Get(), font_);
        DrawTextA(dc.Get(), text_.c_str(), static_cast<int>(text_.size()), &measured,
                  kTextFormat | DT_CALCRECT);
    }
    layout_ = LayOutBalloon(measured.right - measured.left, measured.bottom - measured.top,
                            {anchor_.x, anchor_.y}, pointerPosition_);

    RegionHandle shape = CreateBalloonRegion(layout_);
    if (shape && SetWindowRgn(window_, shape.Get(), TRUE) != 0)
        shape.Release();  // the window owns the region now

    // The top of the normal z-order: above the program's own windows, yet
    // not floating over other programs' windows once the user turns to them.
    SetWindowPos(window_, HWND_TOP, layout_.windowPosition.x, layout_.windowPosition.y,
                 layout_.windowWidth, layout_.windowHeight, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    StartTimer(kHideTimer, kHideCheckInterval);
}

void BalloonTip::OnHideTimer()
{
    // The anchor of a button's balloon is the button's corner, so in practice
    // this hides the balloon at the first check.
    POINT cursor;
    if (GetCursorPos(&cursor) && cursor.x == anchor_.x && cursor.y == anchor_.y)
        return;
    Hide();
}

void BalloonTip::OnPaint()
{
    PaintScope paint(window_);
    const HDC dc = paint.Get();
    if (dc == nullptr)
        return;

    const RegionHandle shape = CreateBalloonRegion(layout_);
    const BrushHandle fill(CreateSolidBrush(kFillColour));
    const BrushHandle outline(CreateSolidBrush(GetSysColor(COLOR_WINDOWTEXT)));
    if (shape && fill && outline) {
        FillRgn(dc, shape.Get(), fill.Get());
        FrameRgn(dc, shape.Get(), fill.Get(), 3, 3);
        FrameRgn(dc, shape.Get(), outline.Get(), 1, 1);
    }

    SetBkMode(dc, TRANSPARENT);
    SelectedObject font(dc, font_);
    // Not clipped to the measured rectangle: with some fonts the ink of the
    // last letter runs a few pixels past the measured width, and the margin
    // around the text has room for it.
    RECT textRect = ToRect(layout_.text);
    DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &textRect,
              kTextFormat | DT_NOCLIP);
}

}  // namespace flipset
