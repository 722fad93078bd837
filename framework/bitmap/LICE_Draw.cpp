#include "LICE_Draw.h"

#include "LICE_Fill.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace LICE
{

namespace
{

// Liang-Barsky: limits the segment to [lo, hi] in both axes; false when nothing is left.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double lo, double hiX, double hiY)
{
    double t0 = 0.0, t1 = 1.0;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - lo, hiX - x1, y1 - lo, hiY - y1};
    for (int i = 0; i < 4; ++i)
    {
        if (p[i] == 0.0)
        {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    const double nx1 = x1 + t0 * dx, ny1 = y1 + t0 * dy;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = nx1;
    y1 = ny1;
    return true;
}

bool Inside(const Rect* clip, int x, int y)
{
    return !clip || (clip->mLeft <= x && x < clip->mRight && clip->mTop <= y && y < clip->mBottom);
}

void Plot(LICE_IBitmap* bitmap, int x, int y, LICE_pixel colour, float opacity, int mode,
          double coverage, const Rect* clip)
{
    if (coverage > 0.0 && Inside(clip, x, y))
        BlendPixel(bitmap, x, y, colour, float(opacity * std::min(coverage, 1.0)), mode);
}

} // namespace

void DrawLineSegment(LICE_IBitmap* bitmap, int x1, int y1, int x2, int y2, LICE_pixel colour,
                     float opacity, int mode, bool antialias, const Rect* clip)
{
    if (!bitmap || !bitmap->getBits() || bitmap->getWidth() <= 0 || bitmap->getHeight() <= 0)
        return;
    // Only the part inside the bitmap (with a pixel of margin for antialiasing) is walked, so
    // far-off end points cost nothing. The clip rectangle only masks the walk: a line cut by it
    // keeps the pixels of the whole line.
    double fx1 = x1, fy1 = y1, fx2 = x2, fy2 = y2;
    if (!ClipSegment(fx1, fy1, fx2, fy2, -1.0, bitmap->getWidth(), bitmap->getHeight()))
        return;
    const double dx = fx2 - fx1, dy = fy2 - fy1;
    const bool steep = std::fabs(dy) > std::fabs(dx);
    const double length = steep ? std::fabs(dy) : std::fabs(dx);
    const int steps = int(std::lround(length));
    if (steps == 0)
    {
        Plot(bitmap, int(std::lround(fx1)), int(std::lround(fy1)), colour, opacity, mode, 1.0,
             clip);
        return;
    }
    const double incX = dx / steps, incY = dy / steps;
    for (int i = 0; i <= steps; ++i)
    {
        const double px = fx1 + incX * i;
        const double py = fy1 + incY * i;
        if (!antialias)
        {
            Plot(bitmap, int(std::lround(px)), int(std::lround(py)), colour, opacity, mode, 1.0,
                 clip);
            continue;
        }
        // Two pixels across the line share the coverage.
        const double across = steep ? px : py;
        const double base = std::floor(across);
        const double frac = across - base;
        const int a = int(base);
        const int along = int(std::lround(steep ? py : px));
        if (steep)
        {
            Plot(bitmap, a, along, colour, opacity, mode, 1.0 - frac, clip);
            Plot(bitmap, a + 1, along, colour, opacity, mode, frac, clip);
        }
        else
        {
            Plot(bitmap, along, a, colour, opacity, mode, 1.0 - frac, clip);
            Plot(bitmap, along, a + 1, colour, opacity, mode, frac, clip);
        }
    }
}

void DrawArcSegment(LICE_IBitmap* bitmap, float centerX, float centerY, float radius,
                    float minAngle, float maxAngle, LICE_pixel colour, float opacity, int mode,
                    bool antialias, const Rect* clip)
{
    if (!bitmap || !bitmap->getBits() || !(radius > 0.0f) || !std::isfinite(centerX) ||
        !std::isfinite(centerY) || !std::isfinite(radius) || !std::isfinite(minAngle) ||
        !std::isfinite(maxAngle) || maxAngle < minAngle)
        return;
    constexpr double kTurn = 2.0 * std::numbers::pi;
    const bool full = maxAngle - minAngle >= kTurn;
    const double start = minAngle - kTurn * std::floor(minAngle / kTurn);
    const double span = maxAngle - minAngle;

    // Every pixel near the circle, within the bitmap, is weighed by its distance to it.
    const double cx = centerX, cy = centerY, r = radius;
    const double w = bitmap->getWidth(), h = bitmap->getHeight();
    const int x0 = int(std::clamp(std::floor(cx - r - 1.0), 0.0, w));
    const int y0 = int(std::clamp(std::floor(cy - r - 1.0), 0.0, h));
    const int x1 = int(std::clamp(std::ceil(cx + r + 1.0), -1.0, w - 1.0));
    const int y1 = int(std::clamp(std::ceil(cy + r + 1.0), -1.0, h - 1.0));
    // Each pixel's weight depends on its own place only, so the clip just narrows the walk.
    const int xFrom = clip ? std::max(x0, clip->mLeft) : x0;
    const int yFrom = clip ? std::max(y0, clip->mTop) : y0;
    const int xTo = clip ? std::min(x1, clip->mRight - 1) : x1;
    const int yTo = clip ? std::min(y1, clip->mBottom - 1) : y1;
    for (int y = yFrom; y <= yTo; ++y)
    {
        const double py = y + 0.5 - cy;
        // Rows that miss the ring entirely are skipped whole.
        if (std::fabs(py) > r + 1.0)
            continue;
        for (int x = xFrom; x <= xTo; ++x)
        {
            const double px = x + 0.5 - cx;
            const double off = std::fabs(std::hypot(px, py) - r);
            const double coverage = antialias ? 1.0 - off : (off < 0.5 ? 1.0 : 0.0);
            if (coverage <= 0.0)
                continue;
            if (!full)
            {
                double angle = std::atan2(px, -py); // 0 up, clockwise
                angle -= start;
                angle -= kTurn * std::floor(angle / kTurn);
                if (angle > span)
                    continue;
            }
            Plot(bitmap, x, y, colour, opacity, mode, coverage, nullptr);
        }
    }
}

void DrawCircleOutline(LICE_IBitmap* bitmap, float centerX, float centerY, float radius,
                       LICE_pixel colour, float opacity, int mode, bool antialias, const Rect* clip)
{
    DrawArcSegment(bitmap, centerX, centerY, radius, 0.0f, float(2.0 * std::numbers::pi), colour,
                   opacity, mode, antialias, clip);
}

} // namespace LICE
