#include "IKnobControl.h"

#include "IParameter.h"

#include <algorithm>

namespace
{
// The longest drag a step of a stepped parameter may take, in pixels: any gearing moves a knob
// over few positions that far for a step (an eight-position knob at the usual gearing takes 18).
constexpr double kMaxStepPixels = 20.0;
} // namespace

double IKnobControl::DragDelta(int dx, int dy, double gearing) const noexcept
{
    const IRect& r = GetRECT();
    if (mDirection == kVertical)
        return r.mT == r.mB ? 0.0 : dy / static_cast<double>(r.mT - r.mB) / gearing;
    return r.mL == r.mR ? 0.0 : dx / static_cast<double>(r.mR - r.mL) / gearing;
}

double IKnobControl::StepGearing() const noexcept
{
    const IParameter* param = GetParam();
    const IRect& r = GetRECT();
    const int length = mDirection == kVertical ? r.mB - r.mT : r.mR - r.mL;
    if (!param || param->Type() == IParameter::kTypeDouble || !(param->Step() > 0.0) || length <= 0)
        return mGearing;
    const double steps = (param->Max() - param->Min()) / param->Step();
    if (!(steps >= 1.0))
        return mGearing;
    // A drag across the control moves steps / gearing steps.
    return std::min(mGearing, steps * kMaxStepPixels / length);
}

void IKnobControl::HandleMouseDrag(int, int, int dx, int dy, const IMouseKeys& keys) noexcept
{
    const double gearing = StepGearing();
    mValue += DragDelta(dx, dy, (keys.mS || keys.mC) ? gearing * 10.0 : gearing);
    MarkDirty(true);
}

void IKnobControl::HandleWheel(int x, int y, const IMouseKeys& keys, int notches) noexcept
{
    const IParameter* param = GetParam();
    const double range = param ? param->Max() - param->Min() : 0.0;
    const double fraction = range > 0.0 ? param->Step() / range : 0.0;
    if (!param || param->Type() == IParameter::kTypeDouble || !(fraction > 0.01))
    {
        IControl::HandleWheel(x, y, keys, notches);
        return;
    }
    mValue += notches * fraction;
    MarkDirty(true);
}
