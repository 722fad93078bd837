#pragma once
// The per-pixel combinations of the blit modes, inlined into the row loops of blits and fills.
// A source is given unpacked so that fills can blend the alpha channel toward a weight of 256.
// All arithmetic is on ints; '/' truncates toward zero, as the modes are defined.

#include "LICE_Pixel.h"

namespace LICE::detail
{

struct Source
{
    int mB, mG, mR, mA;
};

inline Source Unpack(LICE_pixel p)
{
    return {int(p & 0xFF), int((p >> 8) & 0xFF), int((p >> 16) & 0xFF), int(p >> 24)};
}

inline LICE_pixel Pack(int b, int g, int r, int a)
{
    return LICE_pixel(a) << 24 | LICE_pixel(r) << 16 | LICE_pixel(g) << 8 | LICE_pixel(b);
}

inline int Clamp255(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// One channel at a time: d is the destination channel, s the source channel, w the weight.
template <class Channel>
inline LICE_pixel Combine(LICE_pixel d, const Source& s, int w)
{
    return Pack(
        Channel::Apply(int(d & 0xFF), s.mB, w), Channel::Apply(int((d >> 8) & 0xFF), s.mG, w),
        Channel::Apply(int((d >> 16) & 0xFF), s.mR, w), Channel::Apply(int(d >> 24), s.mA, w));
}

struct CopyChannel
{
    // Lies between s and d, so no clamping (s never exceeds 255 here: fills at w = 256 take
    // their exact form).
    static int Apply(int d, int s, int w) { return s + (d - s) * (256 - w) / 256; }
};

struct AddChannel
{
    static int Apply(int d, int s, int w) { return Clamp255(d + s * w / 256); }
};

struct DodgeChannel
{
    static int Apply(int d, int s, int w)
    {
        const int t = s * w / 256;
        return Clamp255(t < 255 ? d * 256 / (256 - t) : d * 256);
    }
};

struct MultiplyChannel
{
    static int Apply(int d, int s, int w)
    {
        return Clamp255(d * (s * w + (256 - w) * 256) / 65536);
    }
};

struct OverlayChannel
{
    // The usual overlay (multiply in the dark half, screen in the light half), then mixed in
    // with weight w.
    static int Apply(int d, int s, int w)
    {
        const int s8 = s > 255 ? 255 : s;
        const int o = d < 128 ? 2 * d * s8 / 255 : 255 - 2 * (255 - d) * (255 - s8) / 255;
        return Clamp255(d + (o - d) * w / 256);
    }
};

// Hue/saturation/value adjust: source red turns the hue (128 = no turn, full range = one turn),
// source green and blue scale saturation and value (128 = unchanged); the result is mixed in with
// weight w. Alpha is kept.
LICE_pixel AdjustHsv(LICE_pixel d, const Source& s, int w);

// Plain combination of one pixel in the given mode (low byte of the mode word).
inline LICE_pixel CombineMode(int mode, LICE_pixel d, const Source& s, int w)
{
    switch (mode & LICE_BLIT_MODE_MASK)
    {
    case LICE_BLIT_MODE_ADD:
        return Combine<AddChannel>(d, s, w);
    case LICE_BLIT_MODE_DODGE:
        return Combine<DodgeChannel>(d, s, w);
    case LICE_BLIT_MODE_MUL:
        return Combine<MultiplyChannel>(d, s, w);
    case LICE_BLIT_MODE_OVERLAY:
        return Combine<OverlayChannel>(d, s, w);
    case LICE_BLIT_MODE_HSVADJ:
        return AdjustHsv(d, s, w);
    default:
        return Combine<CopyChannel>(d, s, w);
    }
}

// Weight for one source pixel under the source-alpha flag: 0 means leave the pixel alone.
inline int AlphaWeight(int w, LICE_pixel s)
{
    const unsigned a = s >> 24;
    return a == 0 ? 0 : w * int(a + 1) / 256;
}

} // namespace LICE::detail
