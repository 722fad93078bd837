// Stretched and rotated blits: every destination pixel maps back to a point of the source, sampled
// by nearest pixel or bilinearly, then combined as Blit combines.
#include "LICE_Blit.h"

#include "LICE_Combine.h"
#include "LICE_Rows.h"

#include <algorithm>
#include <cmath>

namespace LICE
{

using namespace detail;

namespace
{

// The part of the source that may be sampled, after clipping to the bitmap.
struct SampleArea
{
    Rows mRows;
    int mLeft, mTop, mRight, mBottom; // right and bottom exclusive
    bool mBilinear;

    bool Empty() const { return mLeft >= mRight || mTop >= mBottom; }

    LICE_pixel At(int x, int y) const
    {
        x = std::clamp(x, mLeft, mRight - 1);
        y = std::clamp(y, mTop, mBottom - 1);
        return mRows.Row(y)[x];
    }

    // (u, v) in source pixels, pixel centres at .5.
    LICE_pixel Sample(double u, double v) const
    {
        // Far-off points sample the edge; limiting them first keeps the int conversion defined.
        u = std::clamp(u, mLeft - 1.0, mRight + 1.0);
        v = std::clamp(v, mTop - 1.0, mBottom + 1.0);
        if (!mBilinear)
            return At(int(std::floor(u)), int(std::floor(v)));
        const double fu = u - 0.5;
        const double fv = v - 0.5;
        const double iu = std::floor(fu);
        const double iv = std::floor(fv);
        const int tu = int((fu - iu) * 256.0);
        const int tv = int((fv - iv) * 256.0);
        const int x0 = int(iu);
        const int y0 = int(iv);
        const LICE_pixel p00 = At(x0, y0), p10 = At(x0 + 1, y0);
        const LICE_pixel p01 = At(x0, y0 + 1), p11 = At(x0 + 1, y0 + 1);
        LICE_pixel out = 0;
        for (int shift = 0; shift < 32; shift += 8)
        {
            const int c00 = int((p00 >> shift) & 0xFF), c10 = int((p10 >> shift) & 0xFF);
            const int c01 = int((p01 >> shift) & 0xFF), c11 = int((p11 >> shift) & 0xFF);
            const int top = c00 * (256 - tu) + c10 * tu;
            const int bottom = c01 * (256 - tu) + c11 * tu;
            const int c = (top * (256 - tv) + bottom * tv) >> 16;
            out |= LICE_pixel(c) << shift;
        }
        return out;
    }
};

bool MakeArea(const LICE_IBitmap& src, double x, double y, double w, double h, int mode,
              SampleArea& area)
{
    const double right = x + w;
    const double bottom = y + h;
    area.mRows = RowsOf(src);
    area.mLeft = int(std::clamp(std::floor(std::min(x, right)), 0.0, double(src.getWidth())));
    area.mTop = int(std::clamp(std::floor(std::min(y, bottom)), 0.0, double(src.getHeight())));
    area.mRight = int(std::clamp(std::ceil(std::max(x, right)), 0.0, double(src.getWidth())));
    area.mBottom = int(std::clamp(std::ceil(std::max(y, bottom)), 0.0, double(src.getHeight())));
    area.mBilinear = (mode & LICE_BLIT_FILTER_BILINEAR) != 0;
    return src.getBits() && !area.Empty();
}

void Put(LICE_pixel& d, LICE_pixel s, int weight, int mode)
{
    if ((mode & LICE_BLIT_MODE_MASK) >= LICE_BLIT_MODE_CHANCOPY)
    {
        const int destShift = ((mode >> 2) & 3) * 8;
        const int srcShift = (mode & 3) * 8;
        d = (d & ~(LICE_pixel{0xFF} << destShift)) | ((s >> srcShift) & 0xFF) << destShift;
        return;
    }
    int w = weight;
    if (mode & LICE_BLIT_USE_ALPHA)
    {
        w = AlphaWeight(weight, s);
        if (w == 0)
            return;
    }
    d = CombineMode(mode, d, Unpack(s), w);
}

bool AllFinite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

} // namespace

void ScaledBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int x, int y, int width, int height,
                float srcX, float srcY, float srcWidth, float srcHeight, float opacity, int mode)
{
    const int weight = WeightOf(opacity);
    if (!dest || !src || width <= 0 || height <= 0 || weight == 0 || !dest->getBits() ||
        !AllFinite({srcX, srcY, srcWidth, srcHeight}) || srcWidth == 0.0f || srcHeight == 0.0f)
        return;
    SampleArea area;
    if (!MakeArea(*src, srcX, srcY, srcWidth, srcHeight, mode, area))
        return;

    const long long x0 = std::max<long long>(x, 0);
    const long long y0 = std::max<long long>(y, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(x) + width, dest->getWidth());
    const long long y1 = std::min<long long>(static_cast<long long>(y) + height, dest->getHeight());
    const double stepU = double(srcWidth) / width;
    const double stepV = double(srcHeight) / height;
    const Rows rows = RowsOf(*dest);
    for (long long py = y0; py < y1; ++py)
    {
        LICE_pixel* d = rows.Row(int(py));
        const double v = srcY + (double(py - y) + 0.5) * stepV;
        for (long long px = x0; px < x1; ++px)
        {
            const double u = srcX + (double(px - x) + 0.5) * stepU;
            Put(d[px], area.Sample(u, v), weight, mode);
        }
    }
}

void RotatedBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int x, int y, int width, int height,
                 float srcX, float srcY, float srcWidth, float srcHeight, float angle,
                 bool clipToSource, float opacity, int mode, float centerXOffset,
                 float centerYOffset, const Rect* clip)
{
    const int weight = WeightOf(opacity);
    if (!dest || !src || width <= 0 || height <= 0 || weight == 0 || !dest->getBits() ||
        !AllFinite({srcX, srcY, srcWidth, srcHeight, angle, centerXOffset, centerYOffset}) ||
        srcWidth == 0.0f || srcHeight == 0.0f)
        return;
    SampleArea area;
    if (!MakeArea(*src, srcX, srcY, srcWidth, srcHeight, mode, area))
        return;

    // Rotation centre in box coordinates and in the destination.
    const double boxCx = width * 0.5 + centerXOffset;
    const double boxCy = height * 0.5 + centerYOffset;
    const double cx = x + boxCx;
    const double cy = y + boxCy;
    const double c = std::cos(double(angle));
    const double s = std::sin(double(angle));
    // The turned box may reach beyond the box itself: visit what its corners can cover.
    const double reach =
        std::hypot(std::max(boxCx, width - boxCx), std::max(boxCy, height - boxCy));
    long long x0 = std::max<long long>(static_cast<long long>(std::floor(cx - reach)), 0);
    long long y0 = std::max<long long>(static_cast<long long>(std::floor(cy - reach)), 0);
    long long x1 =
        std::min<long long>(static_cast<long long>(std::ceil(cx + reach)), dest->getWidth());
    long long y1 =
        std::min<long long>(static_cast<long long>(std::ceil(cy + reach)), dest->getHeight());
    // Every pixel is sampled from its own place, so the clip just narrows the walk.
    if (clip)
    {
        x0 = std::max<long long>(x0, clip->mLeft);
        y0 = std::max<long long>(y0, clip->mTop);
        x1 = std::min<long long>(x1, clip->mRight);
        y1 = std::min<long long>(y1, clip->mBottom);
    }
    const double scaleU = double(srcWidth) / width;
    const double scaleV = double(srcHeight) / height;
    const double srcRight = double(srcX) + srcWidth;
    const double srcBottom = double(srcY) + srcHeight;
    const Rows rows = RowsOf(*dest);
    for (long long py = y0; py < y1; ++py)
    {
        LICE_pixel* d = rows.Row(int(py));
        const double ry = double(py) + 0.5 - cy;
        for (long long px = x0; px < x1; ++px)
        {
            const double rx = double(px) + 0.5 - cx;
            // Turned back by the angle, into box and then source coordinates.
            const double bx = rx * c + ry * s + boxCx;
            const double by = -rx * s + ry * c + boxCy;
            const double u = srcX + bx * scaleU;
            const double v = srcY + by * scaleV;
            if (clipToSource &&
                (u < std::min<double>(srcX, srcRight) || u >= std::max<double>(srcX, srcRight) ||
                 v < std::min<double>(srcY, srcBottom) || v >= std::max<double>(srcY, srcBottom)))
                continue;
            if (u < 0.0 || v < 0.0 || u >= src->getWidth() || v >= src->getHeight())
                continue;
            Put(d[px], area.Sample(u, v), weight, mode);
        }
    }
}

} // namespace LICE
