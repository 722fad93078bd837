#pragma once
// A control turned by dragging: a drag across the whole control (its height, or its width when
// horizontal) moves the value by 1 / gearing; shift or control make it ten times finer.

#include "IControl.h"

class IKnobControl : public IControl
{
public:
    enum EDirection
    {
        kVertical = 0,
        kHorizontal = 1,
    };

    IKnobControl(IPlugBase* plug, const IRect& rect, int paramIdx, int direction = kVertical,
                 double gearing = 4.0)
        : IControl(plug, rect, paramIdx), mDirection(direction), mGearing(gearing)
    {
    }

    // Moving up (or right) raises the value; the value is clamped into [0, 1].
    void HandleMouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) noexcept override;

protected:
    // The change of value for a drag of (dx, dy) at gearing.
    double DragDelta(int dx, int dy, double gearing) const noexcept;

    int mDirection;
    double mGearing;
};
