#pragma once
// Lines, arcs and circle outlines. Each pixel is blended as LICE::BlendPixel blends; with
// antialiasing the pixel's coverage scales the opacity.

#include "LICE_IBitmap.h"

namespace LICE
{

void DrawLineSegment(LICE_IBitmap* bitmap, int x1, int y1, int x2, int y2, LICE_pixel colour,
                     float opacity, int mode, bool antialias);

// Angles in radians, 0 pointing up and growing clockwise; the arc runs from minAngle to
// maxAngle, a full circle when they are 2 pi apart or more.
void DrawArcSegment(LICE_IBitmap* bitmap, float centerX, float centerY, float radius,
                    float minAngle, float maxAngle, LICE_pixel colour, float opacity, int mode,
                    bool antialias);

void DrawCircleOutline(LICE_IBitmap* bitmap, float centerX, float centerY, float radius,
                       LICE_pixel colour, float opacity, int mode, bool antialias);

} // namespace LICE
