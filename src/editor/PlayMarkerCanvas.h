#pragma once
// The 40 x 2 strip under a melody canvas: the segment of the pulse being played lights white,
// in the canvas's pulse columns. The editor sets the pulse from what the engine reported.

#include "IControl.h"

struct MelodyCell;

class PlayMarkerCanvas : public IControl
{
public:
    // [main-thread] Bound to no parameter; shows no pulse.
    PlayMarkerCanvas(IEditorHost* plug, const IRect& rect, MelodyCell& cell);

    bool Paint(IGraphics& graphics) noexcept override;

    // [main-thread] The pulse to light, -1 for none; repaints.
    void SetPulse(int pulse) noexcept;
    int Pulse() const noexcept { return mPulse; }

private:
    void Layout(int numPulses) noexcept;

    IRect mSegments[4];
    MelodyCell& mCell;
    int mLaidOutPulses = 2;
    int mPulse = -1;
};
