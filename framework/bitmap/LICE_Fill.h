#pragma once
// Filling rectangles and single pixels with a colour, a blend mode and an opacity.

#include "LICE_IBitmap.h"

namespace LICE
{

// With LICE_BLIT_USE_ALPHA the colour's own alpha scales the opacity. In copy mode the
// opacities 0.25, 0.5, 0.75 and 1.0 have exact byte forms (1.0 writes the colour, alpha
// included); otherwise the mode's combination is applied with the colour's red, green and blue,
// while the alpha channel blends toward the weight.
void FillRectangle(LICE_IBitmap* bitmap, int x, int y, int width, int height, LICE_pixel colour,
                   float opacity, int mode);

// One pixel, blended as FillRectangle blends.
void BlendPixel(LICE_IBitmap* bitmap, int x, int y, LICE_pixel colour, float opacity, int mode);

// Coverage (one byte per pixel, 0 ... 255, rows pitch bytes apart), such as a glyph's, blended
// over the bitmap with its top left corner at (x, y): each channel moves toward the colour's red,
// green and blue, and alpha toward 255, by coverage / 255 of the way, truncated toward zero. Only
// what falls on the bitmap is drawn.
void BlendCoverage(LICE_IBitmap* bitmap, int x, int y, const unsigned char* coverage, int pitch,
                   int width, int height, LICE_pixel colour);

// 0 for a missing bitmap, missing pixels or a position outside it.
LICE_pixel ReadPixel(const LICE_IBitmap* bitmap, int x, int y);

} // namespace LICE
