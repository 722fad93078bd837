#include "LICE_Fill.h"

#include "LICE_BlendAreas.h"

#include <algorithm>
#include <cstdint>

namespace LICE
{

using namespace detail;

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
    if ((mode & LICE_BLIT_MODE_MASK) >= LICE_BLIT_MODE_CHANCOPY)
        return; // channel copies need a source bitmap
    sse2::FillArea(d, w, h, colour, weight, mode);
}

void BlendPixel(LICE_IBitmap* bitmap, int x, int y, LICE_pixel colour, float opacity, int mode)
{
    FillRectangle(bitmap, x, y, 1, 1, colour, opacity, mode);
}

void BlendCoverage(LICE_IBitmap* bitmap, int x, int y, const unsigned char* coverage, int pitch,
                   int width, int height, LICE_pixel colour)
{
    if (!bitmap || !bitmap->getBits() || !coverage)
        return;
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + width, bitmap->getWidth());
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t{y} + height, bitmap->getHeight());
    if (right <= left || bottom <= top)
        return;
    const Rows all = RowsOf(*bitmap);
    const Rows d{all.Row(int(top)) + left, all.mStep};
    const unsigned char* c = coverage + (top - y) * pitch + (left - x);
    sse2::CoverageArea(d, c, pitch, int(right - left), int(bottom - top), colour);
}

LICE_pixel ReadPixel(const LICE_IBitmap* bitmap, int x, int y)
{
    if (!bitmap || !bitmap->getBits() || x < 0 || y < 0 || x >= bitmap->getWidth() ||
        y >= bitmap->getHeight())
        return 0;
    return RowsOf(*bitmap).Row(y)[x];
}

} // namespace LICE
