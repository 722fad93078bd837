// The area loops the library runs: four pixels at a time in SSE2 registers, each result the same
// byte as the scalar reference gives. Multiply, overlay and hue/saturation/value adjust, which
// the editor does not draw with, go to the reference.
//
// Every product is of a byte and a weight of at most 256 and is divided by 256 at once, so the
// bytes are moved to the top of 16-bit lanes and the high half of an unsigned 16-bit multiply is
// the quotient, rounded down; the copy works on |d - s| so that rounding toward zero is rounding
// down. Dodge divides in single precision (see DivideRoundedDown).
#include "LICE_BlendAreas.h"

#include <cstdint>
#include <cstring>
#include <emmintrin.h>

namespace LICE::detail::sse2
{

namespace
{

using V = __m128i;

V Load(const LICE_pixel* p)
{
    return _mm_loadu_si128(reinterpret_cast<const V*>(p));
}

void Store(LICE_pixel* p, V v)
{
    _mm_storeu_si128(reinterpret_cast<V*>(p), v);
}

V Splat(LICE_pixel v)
{
    return _mm_set1_epi32(int(v));
}

// The first n (1 ... 3) pixels at p in the low lanes, zeros above, and back. Pixel by pixel: a
// buffer written piecewise and read whole would stall the load on the stores.
V Gather(const LICE_pixel* p, int n)
{
    return _mm_set_epi32(0, n > 2 ? int(p[2]) : 0, n > 1 ? int(p[1]) : 0, int(p[0]));
}

void Scatter(LICE_pixel* p, int n, V v)
{
    p[0] = LICE_pixel(_mm_cvtsi128_si32(v));
    if (n > 1)
        p[1] = LICE_pixel(_mm_cvtsi128_si32(_mm_srli_si128(v, 4)));
    if (n > 2)
        p[2] = LICE_pixel(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
}

// f(source four, destination four) -> new destination four over every row. A row's last one to
// three pixels are gathered into the low lanes, so they take the same arithmetic as the rest.
template <class F>
void EachFour(Rows dest, Rows src, int width, int height, F f)
{
    for (int y = 0; y < height; ++y)
    {
        LICE_pixel* d = dest.Row(y);
        const LICE_pixel* s = src.Row(y);
        int x = 0;
        for (; x + 8 <= width; x += 8) // two at a time: less loop for the short loops
        {
            Store(d + x, f(Load(s + x), Load(d + x)));
            Store(d + x + 4, f(Load(s + x + 4), Load(d + x + 4)));
        }
        if (x + 4 <= width)
        {
            Store(d + x, f(Load(s + x), Load(d + x)));
            x += 4;
        }
        if (x < width)
        {
            const V out = f(Gather(s + x, width - x), Gather(d + x, width - x));
            Scatter(d + x, width - x, out);
        }
    }
}

// Same, with one constant source.
template <class F>
void EachFour(Rows dest, int width, int height, F f)
{
    EachFour(dest, dest, width, height, [&](V, V d) { return f(d); });
}

// Each pixel's weight k (low 16 bits of its 32-bit lane) in both 16-bit halves of the lane.
V Pair(V k)
{
    return _mm_or_si128(k, _mm_slli_epi32(k, 16));
}

// Per byte x: x x k / 256 rounded down, with k <= 256 from Pair. The even and the odd bytes go
// to the top of 16-bit lanes, where the high half of the product is the result.
V ScaleBytes(V x, V k)
{
    const V even = _mm_mulhi_epu16(_mm_slli_epi16(x, 8), k);
    const V odd = _mm_mulhi_epu16(_mm_and_si128(x, _mm_set1_epi16(short(0xFF00))), k);
    return _mm_or_si128(even, _mm_slli_epi16(odd, 8));
}

// Copy: s + (d - s) x (256 - k) / 256, truncated toward zero, is s moved toward d by
// |d - s| x m / 256 rounded down, with m = 256 - k from Pair.
V CopyFour(V s, V d, V m)
{
    const V up = _mm_subs_epu8(d, s);
    const V step = ScaleBytes(_mm_or_si128(up, _mm_subs_epu8(s, d)), m);
    const V negate = _mm_cmpeq_epi8(up, _mm_setzero_si128()); // d <= s: move down
    return _mm_add_epi8(s, _mm_sub_epi8(_mm_xor_si128(step, negate), negate));
}

// Add: min(255, d + s x k / 256).
V AddFour(V s, V d, V k)
{
    return _mm_adds_epu8(d, ScaleBytes(s, k));
}

// floor(n / m) for whole numbers n <= 65280 and 1 <= m <= 256 in 32-bit lanes. Both are exact
// floats, and the quotient is rounded to within 2^-16 of its value while a fractional quotient
// below 256 lies at least 1 / 256 from a whole number: truncation finds the right one. Quotients
// of 256 or more stay at least 256, which is all the caller's limit to 255 needs.
V DivideRoundedDown(V n, V m)
{
    return _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(n), _mm_cvtepi32_ps(m)));
}

// Dodge: t = s x k / 256 (at most 255), then min(255, d x 256 / (256 - t)).
V DodgeFour(V s, V d, V k)
{
    const V zero = _mm_setzero_si128();
    const V full = _mm_set1_epi32(256);
    const V t = ScaleBytes(s, k);
    const V t16[2] = {_mm_unpacklo_epi8(t, zero), _mm_unpackhi_epi8(t, zero)};
    const V d256[2] = {_mm_unpacklo_epi8(zero, d), _mm_unpackhi_epi8(zero, d)}; // d x 256
    V q[4];
    for (int i = 0; i < 2; ++i)
    {
        q[2 * i] = DivideRoundedDown(_mm_unpacklo_epi16(d256[i], zero),
                                     _mm_sub_epi32(full, _mm_unpacklo_epi16(t16[i], zero)));
        q[2 * i + 1] = DivideRoundedDown(_mm_unpackhi_epi16(d256[i], zero),
                                         _mm_sub_epi32(full, _mm_unpackhi_epi16(t16[i], zero)));
    }
    // Signed saturation to 32767, then unsigned to 255.
    return _mm_packus_epi16(_mm_packs_epi32(q[0], q[1]), _mm_packs_epi32(q[2], q[3]));
}

// Copy with the weight k from Pair.
V CopyByWeightFour(V s, V d, V k)
{
    return CopyFour(s, d, _mm_sub_epi16(_mm_set1_epi16(256), k));
}

// Where the weight of each pixel comes from.
enum class Weights
{
    kConstant,      // the weight itself
    kScaledByAlpha, // weight x (alpha + 1) / 256, for weights below 256 (0 for alpha 0)
    kFullByAlpha,   // alpha + 1 at weight 256, 0 for alpha 0
};

bool AllTransparent(V s)
{
    const V alpha = _mm_srli_epi32(s, 24);
    return _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xFFFF;
}

template <Weights kWeights>
V WeightsOf(V s, V weight)
{
    if constexpr (kWeights == Weights::kConstant)
        return weight;
    const V alpha = _mm_srli_epi32(s, 24);
    if constexpr (kWeights == Weights::kFullByAlpha)
        return _mm_sub_epi32(alpha, _mm_cmpgt_epi32(alpha, _mm_setzero_si128()));
    else
        return _mm_srli_epi32(_mm_mullo_epi16(_mm_add_epi32(alpha, Splat(1)), weight), 8);
}

template <V (*kFour)(V, V, V), Weights kWeights>
void Blend(Rows dest, Rows src, int width, int height, int weight)
{
    const V w = Splat(LICE_pixel(weight));
    EachFour(dest, src, width, height,
             [w](V s, V d)
             {
                 // Four transparent pixels, as around most images, change nothing.
                 if (kWeights != Weights::kConstant && AllTransparent(s))
                     return d;
                 return kFour(s, d, Pair(WeightsOf<kWeights>(s, w)));
             });
}

template <V (*kFour)(V, V, V)>
void BlendWithWeights(Rows dest, Rows src, int width, int height, int weight, bool useAlpha)
{
    if (!useAlpha)
        Blend<kFour, Weights::kConstant>(dest, src, width, height, weight);
    else if (weight < 256)
        Blend<kFour, Weights::kScaledByAlpha>(dest, src, width, height, weight);
    else
        Blend<kFour, Weights::kFullByAlpha>(dest, src, width, height, weight);
}

// Source over destination at full opacity: the copy with k = alpha + 1, except that alpha moves
// toward k (not toward the source alpha) and stays at most 255. Groups of four opaque or four
// transparent pixels, common in images, take a short way.
void CopyWithSourceAlpha(Rows dest, Rows src, int width, int height)
{
    const V zero = _mm_setzero_si128();
    const V opaque = Splat(255);
    const V alphaOne = Splat(0x01000000);
    EachFour(dest, src, width, height,
             [&](V s, V d)
             {
                 const V alpha = _mm_srli_epi32(s, 24);
                 if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, opaque)) == 0xFFFF)
                     return s;
                 const V visible = _mm_cmpgt_epi32(alpha, zero);
                 if (_mm_movemask_epi8(visible) == 0)
                     return d;
                 // The alpha channel's target k = alpha + 1, at most 255 (k = 256 gives 255 either
                 // way). For alpha 0, m = 256 leaves the pixel whatever the target.
                 const V target = _mm_adds_epu8(s, alphaOne);
                 const V m = _mm_add_epi32(_mm_sub_epi32(Splat(256), alpha), visible);
                 return CopyFour(target, d, Pair(m));
             });
}

// The fill's colour with the weight in place of its alpha, as the fill blends alpha toward it.
LICE_pixel WithWeightAsAlpha(LICE_pixel colour, int weight)
{
    return (colour & 0x00FFFFFFu) | LICE_pixel(weight) << 24;
}

} // namespace

void BlendArea(Rows dest, Rows src, int width, int height, int weight, int mode)
{
    const bool useAlpha = (mode & LICE_BLIT_USE_ALPHA) != 0;
    switch (mode & LICE_BLIT_MODE_MASK)
    {
    case LICE_BLIT_MODE_ADD:
        BlendWithWeights<AddFour>(dest, src, width, height, weight, useAlpha);
        return;
    case LICE_BLIT_MODE_DODGE:
        BlendWithWeights<DodgeFour>(dest, src, width, height, weight, useAlpha);
        return;
    case LICE_BLIT_MODE_MUL:
    case LICE_BLIT_MODE_OVERLAY:
    case LICE_BLIT_MODE_HSVADJ:
        scalar::BlendArea(dest, src, width, height, weight, mode);
        return;
    case LICE_BLIT_MODE_COPY:
        if (useAlpha && weight == 256)
        {
            CopyWithSourceAlpha(dest, src, width, height);
            return;
        }
        [[fallthrough]];
    default: // other mode bytes copy, without the full-opacity form
        BlendWithWeights<CopyByWeightFour>(dest, src, width, height, weight, useAlpha);
        return;
    }
}

void FillArea(Rows dest, int width, int height, LICE_pixel colour, int weight, int mode)
{
    const int op = mode & LICE_BLIT_MODE_MASK;
    if (op == LICE_BLIT_MODE_ADD)
    {
        // Every channel gains the same amount: s x w / 256 (the weight itself standing in for
        // the colour's alpha); the saturating add limits the sum to 255.
        LICE_pixel gain = 0;
        for (int shift = 0; shift < 32; shift += 8)
        {
            const int s = shift == 24 ? weight : int(colour >> shift & 0xFF);
            const int g = s * weight / 256;
            gain |= LICE_pixel(g > 255 ? 255 : g) << shift;
        }
        const V add = Splat(gain);
        EachFour(dest, width, height, [add](V d) { return _mm_adds_epu8(d, add); });
        return;
    }
    if (op != LICE_BLIT_MODE_COPY)
    {
        scalar::FillArea(dest, width, height, colour, weight, mode);
        return;
    }
    // The quarter steps' byte forms; bytes never carry into each other (at most 63 + 63 + 127 and
    // 127 + 127).
    const V c = Splat(colour);
    const V q = _mm_and_si128(_mm_srli_epi32(c, 2), Splat(0x3F3F3F3Fu));
    const V h = _mm_and_si128(_mm_srli_epi32(c, 1), Splat(0x7F7F7F7Fu));
    const auto quarter = [](V p)
    { return _mm_and_si128(_mm_srli_epi32(p, 2), Splat(0x3F3F3F3Fu)); };
    const auto half = [](V p) { return _mm_and_si128(_mm_srli_epi32(p, 1), Splat(0x7F7F7F7Fu)); };
    switch (weight)
    {
    case 64:
        EachFour(dest, width, height,
                 [&](V p) { return _mm_add_epi32(q, _mm_add_epi32(quarter(p), half(p))); });
        return;
    case 128:
        EachFour(dest, width, height, [&](V p) { return _mm_add_epi32(h, half(p)); });
        return;
    case 192:
        EachFour(dest, width, height,
                 [&](V p) { return _mm_add_epi32(_mm_add_epi32(h, q), quarter(p)); });
        return;
    case 256:
        EachFour(dest, width, height, [&](V) { return c; });
        return;
    default:
    {
        const V s = Splat(WithWeightAsAlpha(colour, weight));
        const V m = Pair(Splat(LICE_pixel(256 - weight)));
        EachFour(dest, width, height, [&](V d) { return CopyFour(s, d, m); });
        return;
    }
    }
}

namespace
{

// d + (s - d) x c / 255 truncated toward zero, per 16-bit lane holding a byte: |s - d| x c fits
// an unsigned lane (at most 65025), and (p + 1 + p / 256) / 256 is p / 255 rounded down for
// every such p.
V MixCoverage(V d, V s, V c)
{
    const V zero = _mm_setzero_si128();
    const V diff = _mm_sub_epi16(s, d);
    const V down = _mm_cmpgt_epi16(zero, diff);
    const V p = _mm_mullo_epi16(_mm_max_epi16(diff, _mm_sub_epi16(zero, diff)), c);
    const V q =
        _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(p, _mm_set1_epi16(1)), _mm_srli_epi16(p, 8)), 8);
    return _mm_add_epi16(d, _mm_sub_epi16(_mm_xor_si128(q, down), down));
}

// Four pixels under four coverage bytes; s is the colour with alpha 255 in two pixels' lanes.
V CoverFour(V d, std::uint32_t coverage, V s)
{
    const V zero = _mm_setzero_si128();
    V c = _mm_cvtsi32_si128(int(coverage));
    c = _mm_unpacklo_epi8(c, c);
    c = _mm_unpacklo_epi16(c, c); // each coverage byte four times, once per channel
    const V low = MixCoverage(_mm_unpacklo_epi8(d, zero), s, _mm_unpacklo_epi8(c, zero));
    const V high = MixCoverage(_mm_unpackhi_epi8(d, zero), s, _mm_unpackhi_epi8(c, zero));
    return _mm_packus_epi16(low, high);
}

} // namespace

void CoverageArea(Rows dest, const unsigned char* coverage, std::ptrdiff_t coverageStep, int width,
                  int height, LICE_pixel colour)
{
    const V s = _mm_unpacklo_epi8(Splat(colour | 0xFF000000u), _mm_setzero_si128());
    for (int y = 0; y < height; ++y)
    {
        LICE_pixel* d = dest.Row(y);
        const unsigned char* c = coverage + y * coverageStep;
        int x = 0;
        for (; x + 4 <= width; x += 4)
        {
            std::uint32_t four;
            std::memcpy(&four, c + x, sizeof(four));
            if (four != 0) // glyphs are mostly empty around their strokes
                Store(d + x, CoverFour(Load(d + x), four, s));
        }
        if (x < width)
        {
            // The last one to three pixels; a glyph's rows are short.
            const int n = width - x;
            const std::uint32_t four = std::uint32_t{c[x]} |
                                       (n > 1 ? std::uint32_t{c[x + 1]} << 8 : 0) |
                                       (n > 2 ? std::uint32_t{c[x + 2]} << 16 : 0);
            if (four != 0)
                Scatter(d + x, n, CoverFour(Gather(d + x, n), four, s));
        }
    }
}

} // namespace LICE::detail::sse2
