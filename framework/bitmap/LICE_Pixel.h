#pragma once
// Packing of pixels and the blit mode words shared by every drawing operation.

#include "LICE_IBitmap.h"

constexpr LICE_pixel LICE_RGBA(unsigned r, unsigned g, unsigned b, unsigned a)
{
    return (a & 0xFF) << 24 | (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF);
}
constexpr unsigned LICE_GETB(LICE_pixel p)
{
    return p & 0xFF;
}
constexpr unsigned LICE_GETG(LICE_pixel p)
{
    return (p >> 8) & 0xFF;
}
constexpr unsigned LICE_GETR(LICE_pixel p)
{
    return (p >> 16) & 0xFF;
}
constexpr unsigned LICE_GETA(LICE_pixel p)
{
    return p >> 24;
}

// Low byte: how source and destination combine. Per destination channel d, source s and weight
// w = opacity x 256 (integer arithmetic, division truncating toward zero):
constexpr int LICE_BLIT_MODE_COPY = 0;    // d = s + (d - s) x (256 - w) / 256
constexpr int LICE_BLIT_MODE_ADD = 1;     // d = min(255, d + s x w / 256)
constexpr int LICE_BLIT_MODE_DODGE = 2;   // t = s x w / 256; d = d x 256 / (256 - t), at most 255
constexpr int LICE_BLIT_MODE_MUL = 3;     // d = d x (s x w + (256 - w) x 256) / 65536
constexpr int LICE_BLIT_MODE_OVERLAY = 4; // overlay of s on d, weighted by w
constexpr int LICE_BLIT_MODE_HSVADJ = 5;  // s shifts hue (red), scales saturation and value
constexpr int LICE_BLIT_MODE_CHANCOPY = 0xF0; // + 4 x destination byte + source byte
constexpr int LICE_BLIT_MODE_MASK = 0xFF;
// Flags.
constexpr int LICE_BLIT_FILTER_BILINEAR = 0x100; // scaled and rotated blits interpolate
constexpr int LICE_BLIT_USE_ALPHA = 0x10000;     // per pixel, source alpha scales the weight

constexpr int LICE_ChannelCopyMode(int destinationByte, int sourceByte)
{
    return LICE_BLIT_MODE_CHANCOPY | (destinationByte & 3) << 2 | (sourceByte & 3);
}
