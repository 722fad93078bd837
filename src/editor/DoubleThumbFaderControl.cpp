#include "DoubleThumbFaderControl.h"

#include "IGraphics.h"
#include "ThreadRole.h"

#include <algorithm>

const IColorARGB DoubleThumbFaderControl::kBarColor{255, 0, 64, 96};

DoubleThumbFaderControl::DoubleThumbFaderControl(IEditorHost* plug, const IRect& rect,
                                                 const IBitmapHandle& thumb)
    : IControl(plug, rect), mThumb(thumb), mHalfThumb(thumb.mW / 2),
      mCellWidth((rect.mR - thumb.mW / 4 - thumb.mW / 2 - rect.mL) / kPositions),
      mTrack(rect.mL + thumb.mW / 2, rect.mT, rect.mR - thumb.mW / 4, rect.mB)
{
    Layout();
}

bool DoubleThumbFaderControl::Valid(int low, int high) noexcept
{
    return low >= 0 && low < kPositions && high >= 1 && high <= kPositions && low < high;
}

int DoubleThumbFaderControl::PositionAt(int x) const noexcept
{
    if (x < mTrack.mL || mCellWidth <= 0)
        return 0;
    return (std::min(x, mTrack.mR) - mTrack.mL) / mCellWidth;
}

void DoubleThumbFaderControl::Layout() noexcept
{
    const int w = mThumb.mW;
    const int lowLeft = PositionX(mLow) - mHalfThumb;
    const int highLeft = PositionX(mHigh) - mHalfThumb;
    mLowThumb = IRect(lowLeft, mTrack.mT, lowLeft + w, mTrack.mB);
    mHighThumb = IRect(highLeft, mTrack.mT, highLeft + w, mTrack.mB);
    mBar = IRect(mLowThumb.mR + 1, mTrack.mT, mHighThumb.mL - 1, mTrack.mB);
}

void DoubleThumbFaderControl::Move(int low, int high) noexcept
{
    mLow = low;
    mHigh = high;
    SpanChanged(low, high);
    Layout();
}

void DoubleThumbFaderControl::ShowSpan(int low, int high) noexcept
{
    ORX_MAIN_THREAD();
    if (Valid(low, high) && (low != mLow || high != mHigh))
    {
        mLow = low;
        mHigh = high;
        Layout();
    }
    MarkDirty(false);
}

void DoubleThumbFaderControl::SpanChanged(int, int) noexcept
{
    ORX_MAIN_THREAD();
}

void DoubleThumbFaderControl::HandleMouseDown(int x, int y, const IMouseKeys&) noexcept
{
    mDragMode = kDragNone;
    if (mLowThumb.Contains(x, y))
    {
        mDragMode = kDragLow;
    }
    else if (mHighThumb.Contains(x, y))
    {
        mDragMode = kDragHigh;
    }
    else if (mBar.Contains(x, y))
    {
        mDragMode = kDragBar;
        mAnchor = PositionAt(x);
        mAnchorLow = mLow;
        mAnchorHigh = mHigh;
    }
    MarkDirty(true);
}

void DoubleThumbFaderControl::HandleMouseUp(int, int, const IMouseKeys&) noexcept
{
    MarkDirty(true);
}

void DoubleThumbFaderControl::HandleMouseDrag(int x, int, int, int, const IMouseKeys&) noexcept
{
    const int p = PositionAt(x);
    switch (mDragMode)
    {
    case kDragLow:
        if (p != mLow && Valid(p, mHigh))
            Move(p, mHigh);
        break;
    case kDragHigh:
        if (p != mHigh && Valid(mLow, p))
            Move(mLow, p);
        break;
    case kDragBar:
    {
        const int low = p + mAnchorLow - mAnchor;
        const int high = p + mAnchorHigh - mAnchor;
        if (Valid(low, high) && (low != mLow || high != mHigh))
            Move(low, high);
        break;
    }
    default:
        break;
    }
    MarkDirty(true);
}

bool DoubleThumbFaderControl::Paint(IGraphics& graphics) noexcept
{
    // Three rows level with the middle of the thumbs, from one thumb's centre to the other's.
    const int middle = mTrack.mT + mThumb.FrameHeight() / 2;
    const IRect bar(mLowThumb.mL + mHalfThumb, middle - 1, mHighThumb.mL + mHalfThumb, middle + 2);
    const bool barDrawn = graphics.FillRect(kBarColor, bar, &mBlend);
    const bool low = graphics.DrawBitmap(mThumb, mLowThumb, 0, 0, &mBlend);
    const bool high = graphics.DrawBitmap(mThumb, mHighThumb, 0, 0, &mBlend);
    return barDrawn && low && high;
}
