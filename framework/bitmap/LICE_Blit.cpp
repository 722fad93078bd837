#include "LICE_Blit.h"

#include "LICE_BlendAreas.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace LICE
{

using namespace detail;

namespace
{

void CopyRows(Rows dest, Rows src, int width, int height)
{
    const std::size_t bytes = std::size_t(width) * sizeof(LICE_pixel);
    // Whole rows of two separate bitmaps stored top-down (a full background): one block. A
    // bitmap copied onto itself keeps the row-by-row order.
    const auto d0 = reinterpret_cast<std::uintptr_t>(dest.Row(0));
    const auto s0 = reinterpret_cast<std::uintptr_t>(src.Row(0));
    const std::size_t all = bytes * std::size_t(height);
    if (dest.mStep == width && src.mStep == width && (d0 + all <= s0 || s0 + all <= d0))
    {
        std::memcpy(dest.Row(0), src.Row(0), all);
        return;
    }
    for (int y = 0; y < height; ++y)
        std::memmove(dest.Row(y), src.Row(y), bytes);
}

// The per-byte average, rounded down: each byte halved with its top bit cleared, then added.
void CopyHalf(Rows dest, Rows src, int width, int height)
{
    for (int y = 0; y < height; ++y)
    {
        LICE_pixel* d = dest.Row(y);
        const LICE_pixel* s = src.Row(y);
        for (int x = 0; x < width; ++x)
            d[x] = ((d[x] >> 1) & 0x7F7F7F7Fu) + ((s[x] >> 1) & 0x7F7F7F7Fu);
    }
}

void CopyOneChannel(Rows dest, Rows src, int width, int height, int mode)
{
    const int destShift = ((mode >> 2) & 3) * 8;
    const int srcShift = (mode & 3) * 8;
    const LICE_pixel keep = ~(LICE_pixel{0xFF} << destShift);
    for (int y = 0; y < height; ++y)
    {
        LICE_pixel* d = dest.Row(y);
        const LICE_pixel* s = src.Row(y);
        for (int x = 0; x < width; ++x)
            d[x] = (d[x] & keep) | ((s[x] >> srcShift) & 0xFF) << destShift;
    }
}

} // namespace

void Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int x, int y, const Rect* srcRect,
          float opacity, int mode)
{
    if (!dest || !src || opacity == 0.0f)
        return;

    // Clipping in 64 bits: no rectangle a caller passes can overflow it.
    std::int64_t left = srcRect ? srcRect->mLeft : 0;
    std::int64_t top = srcRect ? srcRect->mTop : 0;
    std::int64_t right = srcRect ? srcRect->mRight : src->getWidth();
    std::int64_t bottom = srcRect ? srcRect->mBottom : src->getHeight();
    std::int64_t dx = x;
    std::int64_t dy = y;
    if (left < 0)
    {
        dx -= left;
        left = 0;
    }
    if (top < 0)
    {
        dy -= top;
        top = 0;
    }
    right = std::min<std::int64_t>(right, src->getWidth());
    bottom = std::min<std::int64_t>(bottom, src->getHeight());
    std::int64_t width = right - left;
    std::int64_t height = bottom - top;
    if (dx < 0)
    {
        left -= dx;
        width += dx;
        dx = 0;
    }
    if (dy < 0)
    {
        top -= dy;
        height += dy;
        dy = 0;
    }
    width = std::min<std::int64_t>(width, dest->getWidth() - dx);
    height = std::min<std::int64_t>(height, dest->getHeight() - dy);
    if (width <= 0 || height <= 0 || !dest->getBits() || !src->getBits())
        return;

    const Rows srcRows = RowsOf(*src);
    const Rows destRows = RowsOf(*dest);
    const Rows s{srcRows.Row(int(top)) + left, srcRows.mStep};
    const Rows d{destRows.Row(int(dy)) + dx, destRows.mStep};
    const int w = int(width);
    const int h = int(height);

    if ((mode & LICE_BLIT_MODE_MASK) >= LICE_BLIT_MODE_CHANCOPY)
    {
        CopyOneChannel(d, s, w, h, mode);
        return;
    }
    const bool useAlpha = (mode & LICE_BLIT_USE_ALPHA) != 0;
    const bool copy = (mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY;
    if (copy && !useAlpha)
    {
        if (opacity >= 1.0f)
        {
            CopyRows(d, s, w, h);
            return;
        }
        if (opacity == 0.5f)
        {
            CopyHalf(d, s, w, h);
            return;
        }
    }

    const int weight = WeightOf(opacity);
    if (weight == 0)
        return;
    sse2::BlendArea(d, s, w, h, weight, mode);
}

void BlitPart(LICE_IBitmap* dest, const LICE_IBitmap* src, int x, int y, int srcX, int srcY,
              int width, int height, float opacity, int mode)
{
    // Computed in 64 bits, then limited: the source bitmap clips the rectangle anyway.
    const auto limit = [](std::int64_t v)
    { return int(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
    const Rect r{srcX, srcY, limit(std::int64_t{srcX} + width), limit(std::int64_t{srcY} + height)};
    Blit(dest, src, x, y, &r, opacity, mode);
}

void Copy(LICE_IBitmap* dest, const LICE_IBitmap* src)
{
    if (!dest || !src)
        return;
    dest->resize(src->getWidth(), src->getHeight());
    Blit(dest, src, 0, 0, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
}

} // namespace LICE
