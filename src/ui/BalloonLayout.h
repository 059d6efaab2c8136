// The geometry of a button's help balloon: a rounded body around the text
// with a pointer triangle below it whose tip points at an anchor on the
// screen. Pure arithmetic, shared by the window that draws the balloon and by
// the tests.
#pragma once

#include <array>
#include <cstdint>

namespace flipset {

// Which side of the anchor the balloon opens to.
enum class PointerPosition : uint8_t {
    // The balloon lies to the upper left of the anchor, the pointer at its
    // lower right; the pointer's tip is exactly on the anchor.
    UpperLeft = 1,
    // The balloon lies to the upper right of the anchor, the pointer at its
    // lower left; the pointer's tip is 24 pixels right of the anchor.
    UpperRight = 2,
};

struct BalloonPoint {
    int x = 0;
    int y = 0;
};

struct BalloonRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Margins between the text and the body's edge.
constexpr int kBalloonTextMarginX = 12;
constexpr int kBalloonTextMarginY = 10;
// The ellipse that rounds the body's corners.
constexpr int kBalloonCornerWidth = 12;
constexpr int kBalloonCornerHeight = 10;
// The pointer triangle: this wide and this high, starting this far inside the
// body's bottom edge, this far in from the body's side.
constexpr int kBalloonPointerSize = 25;
constexpr int kBalloonPointerOverlap = 10;
constexpr int kBalloonPointerInset = 12;

struct BalloonLayout {
    // The rounded body, (0, 0) to (w, h) in window coordinates.
    BalloonRect body;
    // The pointer in window coordinates; pointer[1] is its tip.
    std::array<BalloonPoint, 3> pointer;
    // The window: w by h plus the pointer's height.
    int windowWidth = 0;
    int windowHeight = 0;
    // The window's upper left corner on the screen.
    BalloonPoint windowPosition;
    // Where the text is drawn: the window rectangle less the margins.
    BalloonRect text;
};

// Lays out a balloon for a text that measures textWidth by textHeight pixels,
// pointing at anchor (screen coordinates).
BalloonLayout LayOutBalloon(int textWidth, int textHeight, BalloonPoint anchor,
                            PointerPosition position);

}  // namespace flipset
