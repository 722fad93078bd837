#include "IBitmapControl.h"

#include "IGraphics.h"

IBitmapControl::IBitmapControl(IEditorHost* plug, int x, int y, int paramIdx,
                               const IBitmapHandle& bitmap, IBlendSpec::EMethod blendMethod)
    : IControl(plug, IRect(x, y, x + bitmap.mW, y + bitmap.FrameHeight()), paramIdx, blendMethod),
      mBitmap(bitmap)
{
}

bool IBitmapControl::Paint(IGraphics& graphics) noexcept
{
    return graphics.DrawBitmapFrame(mBitmap, GetRECT(), FrameForValue(mValue, mBitmap.mN), &mBlend);
}
