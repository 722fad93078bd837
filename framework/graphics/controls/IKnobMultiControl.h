#pragma once
// A knob drawn from an image of many frames (a filmstrip), one frame per position.

#include "IBitmapHandle.h"
#include "IKnobControl.h"

class IKnobMultiControl : public IKnobControl
{
public:
    // [main-thread] Vertical dragging; the rectangle is one frame of the image at (x, y).
    IKnobMultiControl(IEditorHost* plug, int x, int y, int paramIdx, const IBitmapHandle& bitmap,
                      double gearing = 4.0);

    bool Paint(IGraphics& graphics) noexcept override;

    const IBitmapHandle& Bitmap() const noexcept { return mBitmap; }

private:
    IBitmapHandle mBitmap;
};
