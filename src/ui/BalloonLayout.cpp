#include "ui/BalloonLayout.h"

namespace flipset {

BalloonLayout LayOutBalloon(int textWidth, int textHeight, BalloonPoint anchor,
                            PointerPosition position)
{
    const int w = textWidth + 2 * kBalloonTextMarginX;
    const int h = textHeight + 2 * kBalloonTextMarginY;

    BalloonLayout layout;
    layout.body = {0, 0, w, h};

    const int pointerTop = h - kBalloonPointerOverlap;
    const int pointerTip = pointerTop + kBalloonPointerSize;
    if (position == PointerPosition::UpperRight) {
        const int side = kBalloonPointerInset;
        layout.pointer = {
            {{side, pointerTop}, {side, pointerTip}, {side + kBalloonPointerSize, pointerTop}}};
    } else {
        const int side = w - kBalloonPointerInset;
        layout.pointer = {
            {{side, pointerTop}, {side, pointerTip}, {side - kBalloonPointerSize, pointerTop}}};
    }

    layout.windowWidth = w;
    layout.windowHeight = h + kBalloonPointerSize;

    // The tip lands on the anchor's row. The upper left balloon puts it on
    // the anchor itself; the upper right one is shifted right by the
    // pointer's inset, which leaves the tip twice the inset right of it.
    const BalloonPoint tip = layout.pointer[1];
    const int left = position == PointerPosition::UpperRight ? anchor.x + kBalloonPointerInset
                                                             : anchor.x - tip.x;
    layout.windowPosition = {left, anchor.y - tip.y};

    layout.text = {kBalloonTextMarginX, kBalloonTextMarginY, w - kBalloonTextMarginX,
                   layout.windowHeight - kBalloonTextMarginY};
    return layout;
}

}  // namespace flipset
