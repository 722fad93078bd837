#include "IKnobMultiControl.h"

#include "IGraphics.h"

IKnobMultiControl::IKnobMultiControl(IEditorHost* plug, int x, int y, int paramIdx,
                                     const IBitmapHandle& bitmap, double gearing)
    : IKnobControl(plug, IRect(x, y, x + bitmap.mW, y + bitmap.FrameHeight()), paramIdx, kVertical,
                   gearing),
      mBitmap(bitmap)
{
}

bool IKnobMultiControl::Paint(IGraphics& graphics) noexcept
{
    return graphics.DrawBitmapFrame(mBitmap, GetRECT(), FrameForValue(mValue, mBitmap.mN), &mBlend);
}
