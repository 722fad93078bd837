#pragma once
// The reference row loops of blits and fills (see LICE_BlendAreas.h), one instance per mode so
// that each combination is inlined; also what the SSE2 loops leave to them.

#include "LICE_Combine.h"
#include "LICE_Rows.h"

namespace LICE::detail
{

template <class Channel>
struct ChannelOp
{
    static LICE_pixel Apply(LICE_pixel d, const Source& s, int w)
    {
        return Combine<Channel>(d, s, w);
    }
};

struct HsvOp
{
    static LICE_pixel Apply(LICE_pixel d, const Source& s, int w) { return AdjustHsv(d, s, w); }
};

// Calls f<Op>() with the pixel operation of the mode's low byte.
template <class F>
void WithModeOp(int mode, F&& f)
{
    switch (mode & LICE_BLIT_MODE_MASK)
    {
    case LICE_BLIT_MODE_ADD:
        f.template operator()<ChannelOp<AddChannel>>();
        break;
    case LICE_BLIT_MODE_DODGE:
        f.template operator()<ChannelOp<DodgeChannel>>();
        break;
    case LICE_BLIT_MODE_MUL:
        f.template operator()<ChannelOp<MultiplyChannel>>();
        break;
    case LICE_BLIT_MODE_OVERLAY:
        f.template operator()<ChannelOp<OverlayChannel>>();
        break;
    case LICE_BLIT_MODE_HSVADJ:
        f.template operator()<HsvOp>();
        break;
    default:
        f.template operator()<ChannelOp<CopyChannel>>();
        break;
    }
}

// Source pixels onto destination pixels, area width x height.
template <class Op, bool kUseAlpha>
void BlendArea(Rows dest, Rows src, int width, int height, int weight)
{
    for (int y = 0; y < height; ++y)
    {
        LICE_pixel* d = dest.Row(y);
        const LICE_pixel* s = src.Row(y);
        for (int x = 0; x < width; ++x)
        {
            const LICE_pixel sp = s[x];
            int w = weight;
            if constexpr (kUseAlpha)
            {
                w = AlphaWeight(weight, sp);
                if (w == 0)
                    continue;
            }
            d[x] = Op::Apply(d[x], Unpack(sp), w);
        }
    }
}

// One source value onto every pixel of the area.
template <class Op>
void FillArea(Rows dest, int width, int height, const Source& source, int weight)
{
    for (int y = 0; y < height; ++y)
    {
        LICE_pixel* d = dest.Row(y);
        for (int x = 0; x < width; ++x)
            d[x] = Op::Apply(d[x], source, weight);
    }
}

} // namespace LICE::detail
