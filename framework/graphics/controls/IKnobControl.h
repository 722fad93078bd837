#pragma once
// A control turned by dragging: a drag across the whole control (its height, or its width when
// horizontal) moves the value by 1 / gearing; shift or control make it ten times finer. A knob
// of a parameter with few steps is geared down so that a step never takes a long drag: a knob
// of three positions at the gearing of one of a hundred would otherwise not move at all for a
// drag that turns every other knob.

#include "IControl.h"

class IKnobControl : public IControl
{
public:
    enum EDirection
    {
        kVertical = 0,
        kHorizontal = 1,
    };

    IKnobControl(IEditorHost* plug, const IRect& rect, int paramIdx, int direction = kVertical,
                 double gearing = 4.0)
        : IControl(plug, rect, paramIdx), mDirection(direction), mGearing(gearing)
    {
    }

    // Moving up (or right) raises the value; the value is clamped into [0, 1].
    void HandleMouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) noexcept override;
    // A notch is a step of a parameter with fewer than a hundred steps (a Pulses knob of four
    // would otherwise take 25 notches to move); others as every control.
    void HandleWheel(int x, int y, const IMouseKeys& keys, int notches) noexcept override;

protected:
    // The change of value for a drag of (dx, dy) at gearing.
    double DragDelta(int dx, int dy, double gearing) const noexcept;
    // The gearing, lowered for a stepped parameter (integer, enumerated, boolean) when a step
    // would take more than a short drag.
    double StepGearing() const noexcept;

    int mDirection;
    double mGearing;
};
