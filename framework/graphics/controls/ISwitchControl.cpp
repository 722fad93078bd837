#include "ISwitchControl.h"

void ISwitchControl::HandleMouseDown(int, int, const IMouseKeys& keys) noexcept
{
    if (keys.mR)
    {
        PromptForValue();
    }
    else
    {
        const int frames = mBitmap.mN;
        mValue += frames < 2 ? 1.0 : 1.0 / (frames - 1);
    }
    // The tolerance keeps the last frame reachable despite the rounding of 1 / (frames - 1).
    if (mValue > 1.001)
        mValue = 0.0;
    MarkDirty(true);
}
