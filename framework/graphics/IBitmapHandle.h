#pragma once
// A loaded image as the controls see it: the bitmap (owned by the process-wide bitmap cache),
// its size and the number of frames stacked vertically in it (each height / frames tall).

class LICE_IBitmap;

struct IBitmapHandle
{
    LICE_IBitmap* mpBitmap = nullptr;
    int mW = 0;
    int mH = 0;
    int mN = 1;

    // Height of one frame.
    int FrameHeight() const noexcept { return mN > 1 ? mH / mN : mH; }
};
