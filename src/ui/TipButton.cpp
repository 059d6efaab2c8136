#include "ui/TipButton.h"

#include "ui/ShowMessage.h"

#include <commctrl.h>

namespace flipset {
namespace {

constexpr UINT_PTR kSubclassId = 1;

}  // namespace

TipButton::~TipButton()
{
    Detach();
}

bool TipButton::Attach(HWND button)
{
    Detach();
    if (button == nullptr ||
        !SetWindowSubclass(button, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    button_ = button;
    tracking_ = false;
    firstPaint_ = true;
    return true;
}

void TipButton::SetPointerPosition(int position)
{
    balloon_.SetPointerPosition(position == 2 ? PointerPosition::UpperRight
                                              : PointerPosition::UpperLeft);
}

void TipButton::Detach()
{
    if (button_ == nullptr)
        return;
    RemoveWindowSubclass(button_, SubclassProc, kSubclassId);
    button_ = nullptr;
    // The balloon lives as long as the button it belongs to.
    balloon_.Destroy();
}

LRESULT CALLBACK TipButton::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<TipButton*>(data);
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return DefSubclassProc(window, message, wParam, lParam);
    }
}

LRESULT TipButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND button = button_;
    switch (message) {
    case WM_PAINT: {
        const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
        if (firstPaint_) {
            firstPaint_ = false;
            balloon_.Create(button);
        }
        return result;
    }
    case WM_MOUSEMOVE: {
        const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
        if (!tracking_)
            RequestTracking(TME_HOVER | TME_LEAVE);
        return result;
    }
    case WM_MOUSEHOVER:
        // The button's own handling goes first: a themed button tracks its
        // hot state with these messages as well.
        DefSubclassProc(button, message, wParam, lParam);
        OnMouseHover();
        return 0;
    case WM_MOUSELEAVE:
        DefSubclassProc(button, message, wParam, lParam);
        tracking_ = false;
        balloon_.Hide();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case BM_CLICK:
        // A pressed button hides its balloon, as the platform's tool tips
        // do: the button's action may open a window that the balloon would
        // cover for the rest of its three seconds.
        balloon_.Hide();
        return DefSubclassProc(button, message, wParam, lParam);
    case WM_NCDESTROY:
        Detach();
        return DefSubclassProc(button, message, wParam, lParam);
    default:
        return DefSubclassProc(button, message, wParam, lParam);
    }
}

void TipButton::OnMouseHover()
{
    tracking_ = false;
    RECT rect;
    if (!GetWindowRect(button_, &rect) || tipText_.empty())
        return;
    balloon_.Show(tipText_, POINT{rect.left, rect.top});
    if (HWND balloon = balloon_.Window())
        UpdateWindow(balloon);
    RequestTracking(TME_LEAVE);
}

void TipButton::RequestTracking(DWORD flags)
{
    TRACKMOUSEEVENT request{};
    request.cbSize = sizeof(request);
    request.dwFlags = flags;
    request.hwndTrack = button_;
    request.dwHoverTime = HOVER_DEFAULT;
    tracking_ = _TrackMouseEvent(&request) != FALSE;
    // The box is owned by the button's top-level window, which it disables,
    // so no further mouse move reaches the button while it is open.
    if (!tracking_ && !trackingFailureText_.empty())
        ShowMessage(GetAncestor(button_, GA_ROOT), trackingFailureText_, MB_OK);
}

}  // namespace flipset
