#pragma once
// Small helpers for the bitmap tests: filled bitmaps and whole-bitmap comparisons.

#include "LICE_MemBitmap.h"
#include "LICE_Pixel.h"

#include <memory>
#include <vector>

inline std::unique_ptr<LICE_MemBitmap> Filled(int w, int h, LICE_pixel value)
{
    auto b = std::make_unique<LICE_MemBitmap>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->getBits()[y * b->getRowSpan() + x] = value;
    return b;
}

inline LICE_pixel At(const LICE_IBitmap& b, int x, int y)
{
    return b.getBits()[y * b.getRowSpan() + x];
}

inline void Set(LICE_IBitmap& b, int x, int y, LICE_pixel v)
{
    b.getBits()[y * b.getRowSpan() + x] = v;
}

// Every pixel, row by row, for comparisons that report the first difference.
inline std::vector<LICE_pixel> Pixels(const LICE_IBitmap& b)
{
    std::vector<LICE_pixel> out;
    for (int y = 0; y < b.getHeight(); ++y)
        for (int x = 0; x < b.getWidth(); ++x)
            out.push_back(At(b, x, y));
    return out;
}
