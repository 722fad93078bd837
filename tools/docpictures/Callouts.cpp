#include "Callouts.h"

#include "ITextStyle.h"
#include "LICE_Blit.h"
#include "LICE_Draw.h"
#include "LICE_Fill.h"
#include "LICE_Pixel.h"
#include "TextRenderer.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace orx::docs
{
namespace
{

constexpr int kMargin = 30;  // the band that holds a side's badges
constexpr int kRadius = 9;   // of a badge
constexpr int kBadgeGap = 3; // at least this much between two badges of a side
constexpr int kNumberSize = 13;
constexpr LICE_pixel kMarginColour = LICE_RGBA(26, 29, 35, 255);
constexpr LICE_pixel kAccent = LICE_RGBA(255, 204, 51, 255);
constexpr LICE_pixel kShadow = LICE_RGBA(0, 0, 0, 255);
const IColorARGB kInk{255, 22, 22, 26};

// A badge of one target: where it would like to sit along its side, and where it ends up.
struct Badge
{
    const Callout* mpCallout;
    IRect mTarget; // on the canvas
    double mWant;
    double mAt = 0.0;
};

struct Canvas
{
    LICE_MemBitmap& mBitmap;
    int mLeft = 0, mTop = 0; // where the picture starts
    int mPictureW = 0, mPictureH = 0;
};

bool Uses(const std::vector<Callout>& callouts, Side side)
{
    return std::any_of(callouts.begin(), callouts.end(),
                       [side](const Callout& c) { return c.mSide == side && !c.mTargets.empty(); });
}

// Editor pixels to canvas pixels.
IRect ToCanvas(const IRect& r, const Framing& f, const Canvas& c)
{
    return {c.mLeft + (r.mL - f.mCrop.mL) * f.mZoom, c.mTop + (r.mT - f.mCrop.mT) * f.mZoom,
            c.mLeft + (r.mR - f.mCrop.mL) * f.mZoom, c.mTop + (r.mB - f.mCrop.mT) * f.mZoom};
}

// Badges along one side, in order, moved apart as little as they must and kept in [lo, hi].
void Spread(std::vector<Badge>& badges, double lo, double hi)
{
    std::sort(badges.begin(), badges.end(),
              [](const Badge& a, const Badge& b) { return a.mWant < b.mWant; });
    const double pitch = 2 * kRadius + kBadgeGap;
    double last = lo - pitch;
    for (Badge& b : badges)
        last = b.mAt = std::max(b.mWant, last + pitch);
    double next = hi + pitch;
    for (auto b = badges.rbegin(); b != badges.rend(); ++b)
        next = b->mAt = std::min(b->mAt, next - pitch);
}

// A disc with a soft edge: each pixel covered by the part of it inside the radius.
void FillDisc(LICE_IBitmap& bitmap, double cx, double cy, double radius, LICE_pixel colour)
{
    const int x0 = static_cast<int>(std::floor(cx - radius - 1));
    const int y0 = static_cast<int>(std::floor(cy - radius - 1));
    const int x1 = static_cast<int>(std::ceil(cx + radius + 1));
    const int y1 = static_cast<int>(std::ceil(cy + radius + 1));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
        {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double cover = std::clamp(radius + 0.5 - d, 0.0, 1.0);
            if (cover > 0.0)
                LICE::BlendPixel(&bitmap, x, y, colour, static_cast<float>(cover),
                                 LICE_BLIT_MODE_COPY);
        }
}

void DrawBadge(LICE_IBitmap& bitmap, double cx, double cy, int number)
{
    FillDisc(bitmap, cx, cy, kRadius + 1.0, kShadow);
    FillDisc(bitmap, cx, cy, kRadius, kAccent);
    const ITextStyle style("Arial", kNumberSize, kInk, ITextStyle::kStyleBold,
                           ITextStyle::kAlignCenter);
    const int x = static_cast<int>(std::lround(cx)), y = static_cast<int>(std::lround(cy));
    const std::string text = std::to_string(number);
    DrawTextOnSurface(
        bitmap, style, text.c_str(),
        IRect(x - kRadius - 4, y - kNumberSize / 2 - 1, x + kRadius + 4, y + kNumberSize / 2 + 1));
}

// A one-pixel frame just outside r, with a dark line outside that so it shows on any colour.
void Outline(LICE_IBitmap& bitmap, const IRect& r)
{
    const auto frame = [&bitmap](int l, int t, int rr, int b, LICE_pixel colour)
    {
        LICE::FillRectangle(&bitmap, l, t, rr - l, 1, colour, 1.0f, LICE_BLIT_MODE_COPY);
        LICE::FillRectangle(&bitmap, l, b - 1, rr - l, 1, colour, 1.0f, LICE_BLIT_MODE_COPY);
        LICE::FillRectangle(&bitmap, l, t, 1, b - t, colour, 1.0f, LICE_BLIT_MODE_COPY);
        LICE::FillRectangle(&bitmap, rr - 1, t, 1, b - t, colour, 1.0f, LICE_BLIT_MODE_COPY);
    };
    frame(r.mL - 2, r.mT - 2, r.mR + 2, r.mB + 2, kShadow);
    frame(r.mL - 1, r.mT - 1, r.mR + 1, r.mB + 1, kAccent);
}

void Leader(LICE_IBitmap& bitmap, int x1, int y1, int x2, int y2)
{
    // The shadow beside the line keeps it visible over the editor's light parts.
    const bool steep = std::abs(y2 - y1) >= std::abs(x2 - x1);
    const int sx = steep ? 1 : 0, sy = steep ? 0 : 1;
    LICE::DrawLineSegment(&bitmap, x1 + sx, y1 + sy, x2 + sx, y2 + sy, kShadow, 0.8f,
                          LICE_BLIT_MODE_COPY, true);
    LICE::DrawLineSegment(&bitmap, x1, y1, x2, y2, kAccent, 1.0f, LICE_BLIT_MODE_COPY, true);
}

// The badges and leaders of one side.
void DrawSide(Canvas& c, std::vector<Badge> badges, Side side)
{
    if (badges.empty())
        return;
    const int w = c.mBitmap.getWidth(), h = c.mBitmap.getHeight();
    const bool across = side == Side::kTop || side == Side::kBottom;
    Spread(badges, kRadius + 2, (across ? w : h) - kRadius - 3);
    for (const Badge& b : badges)
    {
        const IRect& t = b.mTarget;
        double bx = 0, by = 0;
        int ex = 0, ey = 0; // where the leader meets the target's frame
        switch (side)
        {
        case Side::kTop:
            bx = b.mAt, by = kMargin / 2.0;
            ex = std::clamp(static_cast<int>(bx), t.mL, t.mR - 1), ey = t.mT - 3;
            break;
        case Side::kBottom:
            bx = b.mAt, by = h - kMargin / 2.0;
            ex = std::clamp(static_cast<int>(bx), t.mL, t.mR - 1), ey = t.mB + 2;
            break;
        case Side::kLeft:
            bx = kMargin / 2.0, by = b.mAt;
            ex = t.mL - 3, ey = std::clamp(static_cast<int>(by), t.mT, t.mB - 1);
            break;
        case Side::kRight:
            bx = w - kMargin / 2.0, by = b.mAt;
            ex = t.mR + 2, ey = std::clamp(static_cast<int>(by), t.mT, t.mB - 1);
            break;
        case Side::kOn:
            break;
        }
        Leader(c.mBitmap, static_cast<int>(bx), static_cast<int>(by), ex, ey);
        DrawBadge(c.mBitmap, bx, by, b.mpCallout->mNumber);
    }
}

} // namespace

void DrawCallouts(const LICE_IBitmap& editor, const Framing& framing,
                  const std::vector<Callout>& callouts, LICE_MemBitmap& out)
{
    Canvas c{out};
    c.mPictureW = framing.mCrop.W() * framing.mZoom;
    c.mPictureH = framing.mCrop.H() * framing.mZoom;
    c.mLeft = Uses(callouts, Side::kLeft) ? kMargin : 0;
    c.mTop = Uses(callouts, Side::kTop) ? kMargin : 0;
    const int right = Uses(callouts, Side::kRight) ? kMargin : 0;
    const int bottom = Uses(callouts, Side::kBottom) ? kMargin : 0;
    const int w = c.mLeft + c.mPictureW + right, h = c.mTop + c.mPictureH + bottom;
    c.mBitmap.resize(w, h);
    LICE::FillRectangle(&c.mBitmap, 0, 0, w, h, kMarginColour, 1.0f, LICE_BLIT_MODE_COPY);
    const IRect& crop = framing.mCrop;
    LICE::ScaledBlit(&c.mBitmap, &editor, c.mLeft, c.mTop, c.mPictureW, c.mPictureH,
                     static_cast<float>(crop.mL), static_cast<float>(crop.mT),
                     static_cast<float>(crop.W()), static_cast<float>(crop.H()), 1.0f,
                     LICE_BLIT_MODE_COPY);

    std::vector<Badge> sides[4];
    std::vector<Badge> on;
    for (const Callout& callout : callouts)
        for (const IRect& target : callout.mTargets)
        {
            const IRect clipped = target.Intersect(crop);
            if (clipped.Empty())
                continue;
            const IRect t = ToCanvas(clipped, framing, c);
            Outline(c.mBitmap, t);
            const bool across = callout.mSide == Side::kTop || callout.mSide == Side::kBottom;
            const double want = across ? (t.mL + t.mR) / 2.0 : (t.mT + t.mB) / 2.0;
            Badge badge{&callout, t, want};
            if (callout.mSide == Side::kOn)
                on.push_back(badge);
            else
                sides[static_cast<int>(callout.mSide)].push_back(badge);
        }
    for (int s = 0; s < 4; ++s)
        DrawSide(c, sides[s], static_cast<Side>(s));
    for (const Badge& b : on)
    {
        const double x = std::clamp<double>(b.mTarget.mL, kRadius + 2, w - kRadius - 3);
        const double y = std::clamp<double>(b.mTarget.mT, kRadius + 2, h - kRadius - 3);
        DrawBadge(c.mBitmap, x, y, b.mpCallout->mNumber);
    }
}

} // namespace orx::docs
