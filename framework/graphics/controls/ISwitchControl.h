#pragma once
// A bitmap control that steps to its next frame on every click and wraps to the first.

#include "IBitmapControl.h"

class ISwitchControl : public IBitmapControl
{
public:
    using IBitmapControl::IBitmapControl;

    // Left: one frame on, after the last back to 0. Right: the value prompt first.
    void HandleMouseDown(int x, int y, const IMouseKeys& keys) noexcept override;
};
