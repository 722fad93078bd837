#include "IGrooveMakerCanvas.h"

#include "EditorModel.h"
#include "GrooveMaker.h"
#include "IGraphics.h"

#include <algorithm>

const IColorARGB IGrooveMakerCanvas::kActive{255, 235, 101, 20};
const IColorARGB IGrooveMakerCanvas::kMuted{255, 127, 127, 127};
const IColorARGB IGrooveMakerCanvas::kInactive{255, 200, 12, 12};

IGrooveMakerCanvas::IGrooveMakerCanvas(IPlugBase* plug, const IRect& rect, GrooveMaker& groove,
                                       const EditorModel& model)
    : IControl(plug, rect), mGroove(groove), mModel(model)
{
}

int IGrooveMakerCanvas::StepAt(int x) const noexcept
{
    return std::clamp((x - GetRECT().mL) / kStepPitch, 0, GrooveMaker::MAX_STEPS - 1);
}

void IGrooveMakerCanvas::SetVelocity(int step, int velocity) noexcept
{
    if (mGroove.Locked(step) || mGroove.Velocity(step) == velocity)
        return;
    mGroove.SetVelocity(step, velocity);
    MarkDirty(true); // bound to no parameter: nothing reaches the host
}

void IGrooveMakerCanvas::Press(int x, int y) noexcept
{
    const IRect& r = GetRECT();
    if (!r.Contains(x, y))
        return;
    SetVelocity(StepAt(x), (r.mB - y) * kVelocityScale);
}

void IGrooveMakerCanvas::HandleMouseDown(int x, int y, const IMouseKeys&) noexcept
{
    Press(x, y);
}

void IGrooveMakerCanvas::HandleMouseUp(int x, int y, const IMouseKeys&) noexcept
{
    Press(x, y);
}

void IGrooveMakerCanvas::HandleMouseDrag(int x, int y, int, int, const IMouseKeys&) noexcept
{
    const IRect& r = GetRECT();
    int velocity = (r.mB - y) * kVelocityScale;
    if (y <= r.mT)
        velocity = 128;
    else if (y >= r.mB)
        velocity = 0;
    SetVelocity(StepAt(x), velocity);
}

bool IGrooveMakerCanvas::Paint(IGraphics& graphics) noexcept
{
    const IRect& r = GetRECT();
    const int active = mModel.mGrooveStepsActive;
    bool drawn = true;
    for (int i = 0; i < GrooveMaker::MAX_STEPS; ++i)
    {
        const int left = r.mL + kStepPitch * i;
        // A preset may store any velocity; the bar stays inside the canvas.
        const int height = std::clamp(mGroove.Velocity(i) / kVelocityScale, 0, r.H());
        const IColorARGB& color = i >= active ? kInactive : (mGroove.Muted(i) ? kMuted : kActive);
        if (height > 0)
            drawn = graphics.FillRect(color, IRect(left, r.mB - height, left + kBarWidth, r.mB),
                                      &mBlend) &&
                    drawn;
    }
    return drawn;
}
