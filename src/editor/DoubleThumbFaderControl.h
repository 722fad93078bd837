#pragma once
// A horizontal range selector over kPositions integer positions: a low thumb, a high thumb and
// the bar between them, each draggable. The thumbs sit centred on their positions' grid lines;
// dragging the bar moves both and keeps the span's width, stopping at the ends. Every change
// keeps 0 <= low < high <= kPositions and is announced through SpanChanged.

#include "IBitmapHandle.h"
#include "IColorARGB.h"
#include "IControl.h"

class DoubleThumbFaderControl : public IControl
{
public:
    static constexpr int kPositions = 12;
    static const IColorARGB kBarColor;

    enum EDragMode
    {
        kDragNone = 0,
        kDragLow = 1,
        kDragHigh = 2,
        kDragBar = 3,
    };

    // [main-thread] Bound to no parameter; thumb is a one-frame image. Starts at 0 .. 12.
    DoubleThumbFaderControl(IEditorHost* plug, const IRect& rect, const IBitmapHandle& thumb);

    void HandleMouseDown(int x, int y, const IMouseKeys& keys) noexcept override;
    void HandleMouseUp(int x, int y, const IMouseKeys& keys) noexcept override;
    void HandleMouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) noexcept override;
    bool Paint(IGraphics& graphics) noexcept override;

    // [main-thread] Shows a span set elsewhere (a parameter, a preset); a span that breaks the
    // invariant leaves the thumbs where they are. Does not announce it: the change is done.
    void ShowSpan(int low, int high) noexcept;

    int Low() const noexcept { return mLow; }
    int High() const noexcept { return mHigh; }
    // The x of position p's grid line.
    int PositionX(int p) const noexcept { return mTrack.mL + mCellWidth * p; }
    int CellWidth() const noexcept { return mCellWidth; }
    const IRect& Track() const noexcept { return mTrack; }
    const IRect& LowThumb() const noexcept { return mLowThumb; }
    const IRect& HighThumb() const noexcept { return mHighThumb; }
    const IRect& Bar() const noexcept { return mBar; }

protected:
    // [main-thread] The user moved the span to low .. high (high exclusive).
    virtual void SpanChanged(int low, int high) noexcept;

private:
    static bool Valid(int low, int high) noexcept;
    // The position under x: 0 left of the track, up to kPositions at its right end.
    int PositionAt(int x) const noexcept;
    void Layout() noexcept;
    void Move(int low, int high) noexcept;

    IBitmapHandle mThumb;
    int mHalfThumb;
    IRect mLowThumb;
    IRect mBar;
    IRect mHighThumb;
    int mLow = 0;
    int mHigh = kPositions;
    int mCellWidth;
    int mAnchor = 0;
    int mAnchorLow = 0;
    int mAnchorHigh = 0;
    IRect mTrack;
    int mDragMode = kDragNone;
};
