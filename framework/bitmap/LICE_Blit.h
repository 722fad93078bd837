#pragma once
// Copying one bitmap onto another with a blend mode and an opacity (see LICE_Pixel.h for the
// modes). Every operation clips to both bitmaps and silently does nothing for a missing bitmap,
// missing pixel memory, an opacity of 0 or an empty area. Source and destination areas must not
// overlap, except for plain copies at opacity 1.0.

#include "LICE_IBitmap.h"
#include "LICE_Rect.h"

namespace LICE
{

// The part srcRect of src (all of it when null) goes to (x, y) of dest. Plain copy at opacity
// 1.0 copies rows; at 0.5 each byte becomes the average of the two, rounded down.
void Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int x, int y, const Rect* srcRect,
          float opacity, int mode);

// Blit with the source rectangle (srcX, srcY, srcX + width, srcY + height).
void BlitPart(LICE_IBitmap* dest, const LICE_IBitmap* src, int x, int y, int srcX, int srcY,
              int width, int height, float opacity, int mode);

// dest takes src's size and pixels.
void Copy(LICE_IBitmap* dest, const LICE_IBitmap* src);

// The source rectangle (floating point) stretched onto (x, y, width, height) of dest, sampled
// by nearest pixel, or bilinearly with LICE_BLIT_FILTER_BILINEAR.
void ScaledBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int x, int y, int width, int height,
                float srcX, float srcY, float srcWidth, float srcHeight, float opacity, int mode);

// As ScaledBlit, the image turned by angle (radians, clockwise on screen) about the centre of the
// destination box moved by (centerXOffset, centerYOffset). With clipToSource, samples outside
// the source rectangle are skipped; otherwise only samples outside the source bitmap are.
// Only destination pixels inside clip are written, when one is given.
void RotatedBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, int x, int y, int width, int height,
                 float srcX, float srcY, float srcWidth, float srcHeight, float angle,
                 bool clipToSource, float opacity, int mode, float centerXOffset = 0.0f,
                 float centerYOffset = 0.0f, const Rect* clip = nullptr);

} // namespace LICE
