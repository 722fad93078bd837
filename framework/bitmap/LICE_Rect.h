#pragma once
// A rectangle of bitmap pixels, right and bottom exclusive: the source area of a blit, or the
// clip rectangle of a drawing operation (it writes only the pixels inside it, each exactly as
// it would without a clip).

namespace LICE
{

struct Rect
{
    int mLeft, mTop, mRight, mBottom;
};

} // namespace LICE
