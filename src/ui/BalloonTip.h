// A help balloon: a borderless pop-up window shaped as a rounded rectangle
// with a pointer triangle, drawn by the program itself (the platform's
// tool-tip control is not used).
#pragma once

#include "ui/BalloonLayout.h"

#include <windows.h>

#include <optional>
#include <string>

namespace flipset {

class BalloonTip {
public:
    // Timer ids on the balloon window.
    static constexpr UINT_PTR kShowTimer = 100;  // 10 ms after Show: shape, place, show
    static constexpr UINT_PTR kHideTimer = 101;  // every 3000 ms while shown

    BalloonTip() = default;
    ~BalloonTip();
    BalloonTip(const BalloonTip&) = delete;
    BalloonTip& operator=(const BalloonTip&) = delete;

    // Creates the hidden pop-up window, owned by the given window. False
    // when the window could not be created (or exists already).
    bool Create(HWND owner);

    // Stores the text and the anchor (the cursor position when none is given)
    // and shows the balloon 10 ms later. Does nothing before Create.
    void Show(const std::string& text, std::optional<POINT> anchor = std::nullopt);

    // Hides the balloon, also one that is about to be shown.
    void Hide();

    // Destroys the window, if it still exists.
    void Destroy();

    void SetPointerPosition(PointerPosition position) { pointerPosition_ = position; }

    // The balloon window; null before Create and after it was destroyed.
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void StartTimer(UINT_PTR id, UINT milliseconds);
    void StopTimer();
    void OnShowTimer();
    void OnHideTimer();
    void OnPaint();

    HWND window_ = nullptr;
    std::string text_;
    POINT anchor_{};
    PointerPosition pointerPosition_ = PointerPosition::UpperLeft;
    UINT_PTR timer_ = 0;    // the running timer, 0 when none
    HFONT font_ = nullptr;  // stock object: never deleted
    BalloonLayout layout_;
};

}  // namespace flipset
