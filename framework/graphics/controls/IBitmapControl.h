#pragma once
// A control that shows one frame of an image: frame 1 at value 0 up to the last frame at 1.

#include "IBitmapHandle.h"
#include "IControl.h"

class IBitmapControl : public IControl
{
public:
    // [main-thread] The rectangle is one frame of the image, placed at (x, y).
    IBitmapControl(IEditorHost* plug, int x, int y, int paramIdx, const IBitmapHandle& bitmap,
                   IBlendSpec::EMethod blendMethod = IBlendSpec::kBlendNone);

    bool Paint(IGraphics& graphics) noexcept override;

    const IBitmapHandle& Bitmap() const noexcept { return mBitmap; }

protected:
    IBitmapHandle mBitmap;
};
