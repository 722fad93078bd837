#include "LICE_Fill.h"

#include "LICE_BlendLoops.h"

#include <algorithm>
#include <cstdint>

namespace LICE
{

using namespace detail;

namespace
{

// The quarter steps of a copy fill, without multiplications: q is each colour byte / 4, h each
// colour byte / 2, and the pixel's bytes are shifted the same way.
template <int kQuarters>
void FillQuarters(Rows dest, int width, int height, LICE_pixel colour)
{
    const LICE_pixel q = (colour >> 2) & 0x3F3F3F3Fu;
    const LICE_pixel h = (colour >> 1) & 0x7F7F7F7Fu;
    for (int y = 0; y < height; ++y)
    {
        LICE_pixel* d = dest.Row(y);
        for (int x = 0; x < width; ++x)
        {
            const LICE_pixel p = d[x];
            if constexpr (kQuarters == 1)
                d[x] = q + ((p >> 2) & 0x3F3F3F3Fu) + ((p >> 1) & 0x7F7F7F7Fu);
            else if constexpr (kQuarters == 2)
                d[x] = h + ((p >> 1) & 0x7F7F7F7Fu);
            else if constexpr (kQuarters == 3)
                d[x] = h + q + ((p >> 2) & 0x3F3F3F3Fu);
            else
                d[x] = colour;
        }
    }
}

} // namespace

void FillRectangle(LICE_IBitmap* bitmap, int x, int y, int width, int height, LICE_pixel colour,
                   float opacity, int mode)
{
    if (!bitmap)
        return;
    if (mode & LICE_BLIT_USE_ALPHA)
        opacity = float(LICE_GETA(colour)) / 255.0f * opacity;

    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + width, bitmap->getWidth());
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t{y} + height, bitmap->getHeight());
    const int weight = WeightOf(opacity);
    if (weight == 0 || !bitmap->getBits() || right <= left || bottom <= top)
        return;

    const Rows all = RowsOf(*bitmap);
    const Rows d{all.Row(int(top)) + left, all.mStep};
    const int w = int(right - left);
    const int h = int(bottom - top);
    if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)
    {
        switch (weight)
        {
        case 64:
            FillQuarters<1>(d, w, h, colour);
            return;
        case 128:
            FillQuarters<2>(d, w, h, colour);
            return;
        case 192:
            FillQuarters<3>(d, w, h, colour);
            return;
        case 256:
            FillQuarters<4>(d, w, h, colour);
            return;
        default:
            break;
        }
    }
    if ((mode & LICE_BLIT_MODE_MASK) >= LICE_BLIT_MODE_CHANCOPY)
        return; // channel copies need a source bitmap
    Source source = Unpack(colour);
    source.mA = weight;
    WithModeOp(mode, [&]<class Op>() { FillArea<Op>(d, w, h, source, weight); });
}

void BlendPixel(LICE_IBitmap* bitmap, int x, int y, LICE_pixel colour, float opacity, int mode)
{
    FillRectangle(bitmap, x, y, 1, 1, colour, opacity, mode);
}

LICE_pixel ReadPixel(const LICE_IBitmap* bitmap, int x, int y)
{
    if (!bitmap || !bitmap->getBits() || x < 0 || y < 0 || x >= bitmap->getWidth() ||
        y >= bitmap->getHeight())
        return 0;
    return RowsOf(*bitmap).Row(y)[x];
}

} // namespace LICE
