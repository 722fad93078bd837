#include "IKnobControl.h"

double IKnobControl::DragDelta(int dx, int dy, double gearing) const noexcept
{
    const IRect& r = GetRECT();
    if (mDirection == kVertical)
        return r.mT == r.mB ? 0.0 : dy / static_cast<double>(r.mT - r.mB) / gearing;
    return r.mL == r.mR ? 0.0 : dx / static_cast<double>(r.mR - r.mL) / gearing;
}

void IKnobControl::HandleMouseDrag(int, int, int dx, int dy, const IMouseKeys& keys) noexcept
{
    const double gearing = (keys.mS || keys.mC) ? mGearing * 10.0 : mGearing;
    mValue += DragDelta(dx, dy, gearing);
    MarkDirty(true);
}
