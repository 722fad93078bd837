// The reference area loops: one pixel and one channel at a time, exactly as the modes are defined.
#include "LICE_BlendAreas.h"
#include "LICE_BlendLoops.h"

namespace LICE::detail::scalar
{

namespace
{

// Source over destination, the usual way images are drawn: with k = source alpha + 1, colour
// channels move from d toward s by k / 256, and alpha becomes k + (d - k) x (256 - k) / 256, at
// most 255 (an opaque source leaves an opaque pixel, not a wrapped-around 0).
void CopyWithSourceAlpha(Rows dest, Rows src, int width, int height)
{
    const auto channel = [](int d, int s, int k) { return s + (d - s) * (256 - k) / 256; };
    for (int y = 0; y < height; ++y)
    {
        LICE_pixel* d = dest.Row(y);
        const LICE_pixel* s = src.Row(y);
        for (int x = 0; x < width; ++x)
        {
            const LICE_pixel sp = s[x];
            const LICE_pixel dp = d[x];
            if ((sp >> 24) == 0)
                continue;
            const int k = int(sp >> 24) + 1;
            const int b = channel(int(dp & 0xFF), int(sp & 0xFF), k);
            const int g = channel(int((dp >> 8) & 0xFF), int((sp >> 8) & 0xFF), k);
            const int r = channel(int((dp >> 16) & 0xFF), int((sp >> 16) & 0xFF), k);
            const int a = k + (int(dp >> 24) - k) * (256 - k) / 256;
            d[x] = Pack(b, g, r, a > 255 ? 255 : a);
        }
    }
}

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

void BlendArea(Rows dest, Rows src, int width, int height, int weight, int mode)
{
    const bool useAlpha = (mode & LICE_BLIT_USE_ALPHA) != 0;
    if (useAlpha && weight == 256 && (mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)
    {
        CopyWithSourceAlpha(dest, src, width, height);
        return;
    }
    WithModeOp(mode,
               [&]<class Op>()
               {
                   if (useAlpha)
                       detail::BlendArea<Op, true>(dest, src, width, height, weight);
                   else
                       detail::BlendArea<Op, false>(dest, src, width, height, weight);
               });
}

void FillArea(Rows dest, int width, int height, LICE_pixel colour, int weight, int mode)
{
    if ((mode & LICE_BLIT_MODE_MASK) == LICE_BLIT_MODE_COPY)
    {
        switch (weight)
        {
        case 64:
            FillQuarters<1>(dest, width, height, colour);
            return;
        case 128:
            FillQuarters<2>(dest, width, height, colour);
            return;
        case 192:
            FillQuarters<3>(dest, width, height, colour);
            return;
        case 256:
            FillQuarters<4>(dest, width, height, colour);
            return;
        default:
            break;
        }
    }
    Source source = Unpack(colour);
    source.mA = weight;
    WithModeOp(mode,
               [&]<class Op>() { detail::FillArea<Op>(dest, width, height, source, weight); });
}

void CoverageArea(Rows dest, const unsigned char* coverage, std::ptrdiff_t coverageStep, int width,
                  int height, LICE_pixel colour)
{
    const auto mix = [](int d, int s, int c) { return d + (s - d) * c / 255; };
    const int r = int((colour >> 16) & 0xFF), g = int((colour >> 8) & 0xFF), b = int(colour & 0xFF);
    for (int y = 0; y < height; ++y)
    {
        LICE_pixel* d = dest.Row(y);
        const unsigned char* c = coverage + y * coverageStep;
        for (int x = 0; x < width; ++x)
        {
            const LICE_pixel p = d[x];
            d[x] = Pack(mix(int(p & 0xFF), b, c[x]), mix(int((p >> 8) & 0xFF), g, c[x]),
                        mix(int((p >> 16) & 0xFF), r, c[x]), mix(int(p >> 24), 255, c[x]));
        }
    }
}

} // namespace LICE::detail::scalar
