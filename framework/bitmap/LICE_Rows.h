#pragma once
// Row addressing that hides the storage order: row 0 is the image's top row whether the bitmap
// stores its rows top-down or bottom-up.

#include "LICE_IBitmap.h"

#include <cstddef>

namespace LICE::detail
{

struct Rows
{
    LICE_pixel* mpFirst;
    std::ptrdiff_t mStep;

    LICE_pixel* Row(int y) const { return mpFirst + y * mStep; }
};

inline Rows RowsOf(const LICE_IBitmap& bitmap)
{
    LICE_pixel* bits = bitmap.getBits();
    const std::ptrdiff_t span = bitmap.getRowSpan();
    if (bitmap.isFlipped() && bits && bitmap.getHeight() > 0)
        return {bits + (bitmap.getHeight() - 1) * span, -span};
    return {bits, span};
}

// Weight w = opacity x 256, limited to 0 ... 256; 0 also for NaN.
inline int WeightOf(float opacity)
{
    if (!(opacity > 0.0f))
        return 0;
    if (opacity >= 1.0f)
        return 256;
    return static_cast<int>(opacity * 256.0f);
}

} // namespace LICE::detail
