#pragma once
// The repeat counter at a melody cell's top right: how many passes of its chord the melody plays
// before the chord moves on, 1 to 64. Dragging it vertically or turning the wheel changes the
// count and wraps at the ends. It shows the repeat count of the editor model and follows counts
// changed elsewhere (presets, state loads); painting never writes the melody.

#include "ISpinnerControl.h"

struct MelodyCell;

class CounterControl : public ISpinnerControl
{
public:
    static constexpr int kMaxCount = 64;

    // [main-thread] Bound to no parameter; shows "1".
    CounterControl(IEditorHost* plug, const IRect& rect, MelodyCell& cell);

    void HandleMouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) noexcept override;
    void HandleWheel(int x, int y, const IMouseKeys& keys, int notches) noexcept override;
    bool Paint(IGraphics& graphics) noexcept override;

    // [main-thread] Value and text follow the count; true when they changed.
    bool Follow(int count) noexcept;

    // The count a value stands for (1..64), and a value that stands for a count.
    static int CountForValue(double value) noexcept;
    static double ValueForCount(int count) noexcept;

private:
    MelodyCell& mCell;
};
