// A push button that shows a help balloon when the mouse rests on it. It
// takes over an existing button (a dialog's control) by subclassing it; the
// button keeps painting and behaving as a normal button.
#pragma once

#include "ui/BalloonTip.h"

#include <windows.h>

#include <string>

namespace flipset {

class TipButton {
public:
    TipButton() = default;
    ~TipButton();
    TipButton(const TipButton&) = delete;
    TipButton& operator=(const TipButton&) = delete;

    // Takes over the button (detaching from any earlier one). The balloon
    // window is created at the button's first paint and destroyed with it.
    bool Attach(HWND button);

    // The balloon's text; an empty text shows no balloon.
    void SetTipText(const std::string& text) { tipText_ = text; }
    // The message box shown when the platform refuses to track the mouse for
    // the button; an empty text shows none.
    void SetTrackingFailureMessage(const std::string& text) { trackingFailureText_ = text; }
    // 1: the balloon opens to the upper left of the button's corner (the
    // default); 2: to the upper right. Any other number counts as 1.
    void SetPointerPosition(int position);
    void SetPointerPosition(PointerPosition position) { balloon_.SetPointerPosition(position); }

    // Hides the balloon, also one about to be shown. The button hides it
    // itself when it is pressed; its window calls this for a click that
    // reaches it without passing the button (Enter on the default button).
    void HideBalloon() { balloon_.Hide(); }

    HWND Button() const { return button_; }
    HWND BalloonWindow() const { return balloon_.Window(); }

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();
    void RequestTracking(DWORD flags);
    void OnMouseHover();

    HWND button_ = nullptr;
    std::string tipText_;
    std::string trackingFailureText_;
    bool tracking_ = false;  // a mouse-tracking request is pending
    bool firstPaint_ = true;
    BalloonTip balloon_;
};

}  // namespace flipset
