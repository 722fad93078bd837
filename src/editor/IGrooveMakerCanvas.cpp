#include "IGrooveMakerCanvas.h"

#include "EditorModel.h"
#include "GrooveMaker.h"
#include "IEditorHost.h"
#include "IGraphics.h"
#include "ThreadRole.h"

#include <algorithm>
#include <cmath>

const IColorARGB IGrooveMakerCanvas::kActive{255, 235, 101, 20};
const IColorARGB IGrooveMakerCanvas::kMuted{255, 127, 127, 127};
const IColorARGB IGrooveMakerCanvas::kInactive{255, 200, 12, 12};

IGrooveMakerCanvas::IGrooveMakerCanvas(IEditorHost* plug, const IRect& rect, GrooveMaker& groove,
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
    MarkDirty(false);
    // Bound to no parameter: the host hears only that the state changed.
    if (IEditorHost* plug = GetPlug())
        plug->InformHostOfStateChange();
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
    ORX_MAIN_THREAD();
    Press(x, y);
}

void IGrooveMakerCanvas::HandleMouseUp(int x, int y, const IMouseKeys&) noexcept
{
    ORX_MAIN_THREAD();
    Press(x, y);
}

int IGrooveMakerCanvas::VelocityAt(int y) const noexcept
{
    const IRect& r = GetRECT();
    if (y <= r.mT)
        return 128;
    if (y >= r.mB)
        return 0;
    return (r.mB - y) * kVelocityScale;
}

void IGrooveMakerCanvas::HandleMouseDrag(int x, int y, int dx, int dy, const IMouseKeys&) noexcept
{
    ORX_MAIN_THREAD();
    // A fast stroke reaches us as few points far apart (window systems fold the moves between
    // two frames into one): every step it crossed takes the stroke's height there.
    const int x0 = x - dx;
    const int from = StepAt(x0);
    const int to = StepAt(x);
    const int dir = to > from ? 1 : -1;
    for (int step = from == to ? to : from + dir;; step += dir)
    {
        int yAt = y;
        if (step != to)
        {
            const int middle = GetRECT().mL + step * kStepPitch + kStepPitch / 2;
            const double t = std::clamp(static_cast<double>(middle - x0) / dx, 0.0, 1.0);
            yAt = static_cast<int>(std::lround((y - dy) + t * dy));
        }
        SetVelocity(step, VelocityAt(yAt));
        if (step == to)
            break;
    }
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
