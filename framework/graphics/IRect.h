#pragma once
// A rectangle of editor pixels; right and bottom are exclusive. All four values 0 is the empty
// rectangle, which intersects nothing and leaves the other side of a union unchanged.

#include <algorithm>

struct IRect
{
    int mL = 0;
    int mT = 0;
    int mR = 0;
    int mB = 0;

    IRect() = default;
    IRect(int l, int t, int r, int b) : mL(l), mT(t), mR(r), mB(b) {}

    int W() const noexcept { return mR - mL; }
    int H() const noexcept { return mB - mT; }
    bool Empty() const noexcept { return mL == 0 && mT == 0 && mR == 0 && mB == 0; }
    bool operator==(const IRect&) const = default;

    bool Contains(int x, int y) const noexcept { return mL <= x && x < mR && mT <= y && y < mB; }

    // Rectangles that only touch share no pixel, so they do not intersect.
    bool Intersects(const IRect& o) const noexcept
    {
        return !Empty() && !o.Empty() && mR > o.mL && mL < o.mR && mB > o.mT && mT < o.mB;
    }

    IRect Intersect(const IRect& o) const noexcept
    {
        if (!Intersects(o))
            return {};
        return {std::max(mL, o.mL), std::max(mT, o.mT), std::min(mR, o.mR), std::min(mB, o.mB)};
    }

    IRect Union(const IRect& o) const noexcept
    {
        if (Empty())
            return o;
        if (o.Empty())
            return *this;
        return {std::min(mL, o.mL), std::min(mT, o.mT), std::max(mR, o.mR), std::max(mB, o.mB)};
    }
};
