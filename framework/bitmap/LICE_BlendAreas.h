#pragma once
// The area loops behind blits and fills, in two sets that give the same bytes: the scalar set
// defines every result and stays as the reference; the SSE2 set is what the library runs. A
// property test holds them to each other.
//
// mode is a blit mode word: its low byte one of copy ... hue/saturation/value adjust (not a
// channel copy), optionally with LICE_BLIT_USE_ALPHA. weight is 0 ... 256 (opacity x 256). Source
// and destination areas must not overlap.

#include "LICE_Pixel.h"
#include "LICE_Rows.h"

#include <cstddef>

namespace LICE::detail
{

namespace scalar
{

// Source pixels onto destination pixels over width x height.
void BlendArea(Rows dest, Rows src, int width, int height, int weight, int mode);

// One colour onto every pixel of the area, as FillRectangle blends it after clipping: in copy mode
// the weights 64, 128, 192 and 256 take their byte forms; otherwise the mode's combination with
// the colour's red, green and blue, the alpha channel blending toward the weight.
void FillArea(Rows dest, int width, int height, LICE_pixel colour, int weight, int mode);

// Coverage c (one byte per pixel, rows coverageStep bytes apart) blended over the area: each
// colour channel d becomes d + (colour's channel - d) x c / 255 and alpha a + (255 - a) x c / 255,
// truncated toward zero. So 0 leaves a pixel and 255 writes the colour with alpha 255.
void CoverageArea(Rows dest, const unsigned char* coverage, std::ptrdiff_t coverageStep, int width,
                  int height, LICE_pixel colour);

} // namespace scalar

namespace sse2
{

void BlendArea(Rows dest, Rows src, int width, int height, int weight, int mode);
void FillArea(Rows dest, int width, int height, LICE_pixel colour, int weight, int mode);
void CoverageArea(Rows dest, const unsigned char* coverage, std::ptrdiff_t coverageStep, int width,
                  int height, LICE_pixel colour);

} // namespace sse2

} // namespace LICE::detail
