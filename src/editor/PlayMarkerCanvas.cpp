#include "PlayMarkerCanvas.h"

#include "IGraphics.h"
#include "MelodyCell.h"
#include "MelodyGridLayout.h"
#include "ThreadRole.h"

using namespace melody_grid;

PlayMarkerCanvas::PlayMarkerCanvas(IEditorHost* plug, const IRect& rect, MelodyCell& cell)
    : IControl(plug, rect), mCell(cell)
{
    Layout(mLaidOutPulses);
}

void PlayMarkerCanvas::Layout(int numPulses) noexcept
{
    const IRect& r = GetRECT();
    for (int p = 0; p < 4; ++p)
    {
        const PixelSpan xs = PulseColumn(numPulses, p);
        mSegments[p] =
            xs.mFrom > xs.mTo ? IRect() : IRect(r.mL + xs.mFrom, r.mT, r.mL + xs.mTo + 1, r.mB);
    }
    mLaidOutPulses = numPulses;
}

void PlayMarkerCanvas::SetPulse(int pulse) noexcept
{
    ORX_MAIN_THREAD();
    mPulse = pulse;
    MarkDirty(false);
}

bool PlayMarkerCanvas::Paint(IGraphics& graphics) noexcept
{
    const int n = mCell.ShownMelody().mNumPulses;
    if (n != mLaidOutPulses)
        Layout(n);
    if (mPulse >= 0 && mPulse < 4 && !mSegments[mPulse].Empty())
        graphics.FillRect(kPlayMarker, mSegments[mPulse], &mBlend);
    return true;
}
