#pragma once
// Lines, arcs and circle outlines. Each pixel is blended as LICE::BlendPixel blends; with
// antialiasing the pixel's coverage scales the opacity. With a clip rectangle only the pixels
// inside it are written, each as it would be without one.

#include "LICE_IBitmap.h"
#include "LICE_Rect.h"

namespace LICE
{

void DrawLineSegment(LICE_IBitmap* bitmap, int x1, int y1, int x2, int y2, LICE_pixel colour,
                     float opacity, int mode, bool antialias, const Rect* clip = nullptr);

// Angles in radians, 0 pointing up and growing clockwise; the arc runs from minAngle to
// maxAngle, a full circle when they are 2 pi apart or more.
void DrawArcSegment(LICE_IBitmap* bitmap, float centerX, float centerY, float radius,
                    float minAngle, float maxAngle, LICE_pixel colour, float opacity, int mode,
                    bool antialias, const Rect* clip = nullptr);

void DrawCircleOutline(LICE_IBitmap* bitmap, float centerX, float centerY, float radius,
                       LICE_pixel colour, float opacity, int mode, bool antialias,
                       const Rect* clip = nullptr);

} // namespace LICE
