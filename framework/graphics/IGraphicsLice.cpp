#include "IGraphicsLice.h"

#include "BitmapCache.h"
#include "LICE.h"
#include "TextRenderer.h"
#include "ThreadRole.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace
{
constexpr double kPi = 3.141592653589793;

LICE::Rect ToLice(const IRect& r)
{
    return {r.mL, r.mT, r.mR, r.mB};
}

bool EndsWithPng(const char* name)
{
    if (!name)
        return false;
    const char* dot = std::strrchr(name, '.');
    if (!dot)
        return false;
    const char* ext = dot + 1;
    const char png[] = "png";
    for (int i = 0; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(ext[i])) != png[i])
            return false;
    return true;
}
} // namespace

int BlitModeForBlend(const IBlendSpec* blend) noexcept
{
    if (!blend)
        return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
    switch (blend->mMethod)
    {
    case IBlendSpec::kBlendClobber:
        return LICE_BLIT_MODE_COPY;
    case IBlendSpec::kBlendAdd:
        return LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
    case IBlendSpec::kBlendColorDodge:
        return LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;
    default:
        return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
    }
}

int PointModeForBlend(const IBlendSpec* blend) noexcept
{
    if (!blend)
        return LICE_BLIT_MODE_COPY;
    switch (blend->mMethod)
    {
    case IBlendSpec::kBlendAdd:
        return LICE_BLIT_MODE_ADD;
    case IBlendSpec::kBlendColorDodge:
        return LICE_BLIT_MODE_DODGE;
    default:
        return LICE_BLIT_MODE_COPY;
    }
}

float OpacityForBlend(const IBlendSpec* blend) noexcept
{
    return blend ? blend->mWeight : 1.0f;
}

IGraphicsLice::IGraphicsLice(IEditorHost* plug, int width, int height, int fps)
    : IGraphics(plug, width, height, fps)
{
    ORX_MAIN_THREAD();
    BitmapCache::AddUser();
}

IGraphicsLice::~IGraphicsLice()
{
    DeleteControls();
    mpSurface.reset();
    mpScratch.reset();
    BitmapCache::RemoveUser();
}

void IGraphicsLice::CreateSurfaces() noexcept
{
    ORX_MAIN_THREAD();
    mpSurface = std::make_unique<LICE_SysBitmap>(Width(), Height());
    mpScratch = std::make_unique<LICE_MemBitmap>();
}

void IGraphicsLice::PushParamValue(int paramIdx, double value, bool normalised) noexcept
{
    IGraphics::PushParamValue(paramIdx, value, normalised);
}

void IGraphicsLice::AttachBackground(int id, const char* name) noexcept
{
    ORX_MAIN_THREAD();
    IGraphics::AttachBackground(id, name);
}

IRect IGraphicsLice::DrawingArea() const noexcept
{
    const IRect surface(0, 0, mpSurface ? mpSurface->getWidth() : 0,
                        mpSurface ? mpSurface->getHeight() : 0);
    return ClipRect().Empty() ? surface : ClipRect().Intersect(surface);
}

bool IGraphicsLice::DrawBitmap(const IBitmapHandle& bitmap, const IRect& dest, int srcX, int srcY,
                               const IBlendSpec* blend) noexcept
{
    ORX_MAIN_THREAD();
    if (!bitmap.mpBitmap || !mpSurface)
        return false;
    const IRect r = dest.Intersect(DrawingArea());
    if (r.Empty())
        return false;
    LICE::BlitPart(mpSurface.get(), bitmap.mpBitmap, r.mL, r.mT, srcX + r.mL - dest.mL,
                   srcY + r.mT - dest.mT, r.W(), r.H(), OpacityForBlend(blend),
                   BlitModeForBlend(blend));
    return true;
}

bool IGraphicsLice::DrawRotatedBitmap(const IBitmapHandle& bitmap, int cx, int cy, double angle,
                                      int yOffset, const IBlendSpec* blend) noexcept
{
    ORX_MAIN_THREAD();
    if (!bitmap.mpBitmap || !mpSurface)
        return false;
    const int w = bitmap.mW;
    const int h = bitmap.mH;
    const LICE::Rect clip = ToLice(DrawingArea());
    LICE::RotatedBlit(mpSurface.get(), bitmap.mpBitmap, cx - w / 2, cy - h / 2, w, h, 0.0f, 0.0f,
                      float(w), float(h), float(angle), false, OpacityForBlend(blend),
                      BlitModeForBlend(blend) | LICE_BLIT_FILTER_BILINEAR, 0.0f, float(yOffset),
                      &clip);
    return true;
}

bool IGraphicsLice::DrawRotatedMask(const IBitmapHandle& base, const IBitmapHandle& mask,
                                    const IBitmapHandle& top, int x, int y, double angle,
                                    const IBlendSpec* blend) noexcept
{
    ORX_MAIN_THREAD();
    if (!base.mpBitmap || !mask.mpBitmap || !top.mpBitmap || !mpSurface || !mpScratch)
        return false;
    const float rad = float(angle * kPi / 180.0);
    const int w = base.mW;
    const int h = base.mH;
    LICE::Copy(mpScratch.get(), base.mpBitmap);
    const int mode = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA | LICE_BLIT_FILTER_BILINEAR;
    LICE::RotatedBlit(mpScratch.get(), mask.mpBitmap, 0, 0, w, h, 0.0f, 0.0f, float(mask.mW),
                      float(mask.mH), rad, true, 1.0f, mode);
    LICE::RotatedBlit(mpScratch.get(), top.mpBitmap, 0, 0, w, h, 0.0f, 0.0f, float(top.mW),
                      float(top.mH), rad, true, 1.0f, mode);
    const IRect r = IRect(x, y, x + w, y + h).Intersect(DrawingArea());
    if (!r.Empty())
        LICE::BlitPart(mpSurface.get(), mpScratch.get(), r.mL, r.mT, r.mL - x, r.mT - y, r.W(),
                       r.H(), OpacityForBlend(blend), BlitModeForBlend(blend));
    return true;
}

bool IGraphicsLice::DrawPoint(const IColorARGB& color, float x, float y, const IBlendSpec* blend,
                              bool) noexcept
{
    ORX_MAIN_THREAD();
    if (!mpSurface)
        return false;
    const int px = int(x + 0.5f);
    const int py = int(y + 0.5f);
    if (DrawingArea().Contains(px, py))
        LICE::BlendPixel(mpSurface.get(), px, py, color.Packed(), OpacityForBlend(blend),
                         PointModeForBlend(blend));
    return true;
}

bool IGraphicsLice::SetPixel(const IColorARGB& color, int x, int y) noexcept
{
    ORX_MAIN_THREAD();
    if (!mpSurface || !DrawingArea().Contains(x, y))
        return false;
    mpSurface->getBits()[y * mpSurface->getRowSpan() + x] = color.Packed();
    return true;
}

bool IGraphicsLice::DrawLine(const IColorARGB& color, float x1, float y1, float x2, float y2,
                             const IBlendSpec* blend, bool antiAlias) noexcept
{
    ORX_MAIN_THREAD();
    if (!mpSurface)
        return false;
    const LICE::Rect clip = ToLice(DrawingArea());
    LICE::DrawLineSegment(mpSurface.get(), int(x1), int(y1), int(x2), int(y2), color.Packed(),
                          OpacityForBlend(blend), BlitModeForBlend(blend), antiAlias, &clip);
    return true;
}

bool IGraphicsLice::DrawArc(const IColorARGB& color, float cx, float cy, float r, float minAngle,
                            float maxAngle, const IBlendSpec* blend, bool antiAlias) noexcept
{
    ORX_MAIN_THREAD();
    if (!mpSurface)
        return false;
    const LICE::Rect clip = ToLice(DrawingArea());
    LICE::DrawArcSegment(mpSurface.get(), cx, cy, r, minAngle, maxAngle, color.Packed(),
                         OpacityForBlend(blend), PointModeForBlend(blend), antiAlias, &clip);
    return true;
}

bool IGraphicsLice::DrawCircle(const IColorARGB& color, float cx, float cy, float r,
                               const IBlendSpec* blend, bool antiAlias) noexcept
{
    ORX_MAIN_THREAD();
    if (!mpSurface)
        return false;
    const LICE::Rect clip = ToLice(DrawingArea());
    LICE::DrawCircleOutline(mpSurface.get(), cx, cy, r, color.Packed(), OpacityForBlend(blend),
                            BlitModeForBlend(blend), antiAlias, &clip);
    return true;
}

bool IGraphicsLice::FillRect(const IColorARGB& color, const IRect& rect,
                             const IBlendSpec* blend) noexcept
{
    ORX_MAIN_THREAD();
    if (!mpSurface)
        return false;
    const IRect r = rect.Intersect(DrawingArea());
    if (!r.Empty())
        LICE::FillRectangle(mpSurface.get(), r.mL, r.mT, r.W(), r.H(), color.Packed(),
                            OpacityForBlend(blend), BlitModeForBlend(blend));
    return true;
}

bool IGraphicsLice::DrawText(const ITextStyle& style, const char* text, const IRect& rect) noexcept
{
    ORX_MAIN_THREAD();
    if (!text || !*text)
        return true;
    if (!mpSurface)
        return false;
    const IRect clip = DrawingArea();
    return DrawTextOnSurface(*mpSurface, style, text, rect, &clip);
}

IColorARGB IGraphicsLice::GetPixel(int x, int y) const noexcept
{
    return IColorARGB::FromPacked(LICE::ReadPixel(mpSurface.get(), x, y));
}

std::uint32_t* IGraphicsLice::SurfacePixels() const noexcept
{
    return mpSurface ? mpSurface->getBits() : nullptr;
}

bool IGraphicsLice::DrawVerticalLine(const IColorARGB& color, int x, int y1, int y2) noexcept
{
    ORX_MAIN_THREAD();
    if (!mpSurface || !mpSurface->getBits() || mpSurface->getWidth() < 1 ||
        mpSurface->getHeight() < 1)
        return false;
    x = std::clamp(x, 0, mpSurface->getWidth() - 1);
    y1 = std::clamp(y1, 0, mpSurface->getHeight() - 1);
    y2 = std::clamp(y2, 0, mpSurface->getHeight() - 1);
    if (y2 < y1)
        return false;
    const IRect clip = DrawingArea();
    if (x < clip.mL || x >= clip.mR)
        return true;
    y1 = std::max(y1, clip.mT);
    y2 = std::min(y2, clip.mB - 1);
    const int span = mpSurface->getRowSpan();
    // Packed once: the stores below might alias the colour, so it would be read on every row.
    const LICE_pixel packed = color.Packed();
    LICE_pixel* p = mpSurface->getBits() + y1 * span + x;
    for (int y = y1; y <= y2; ++y, p += span)
        *p = packed;
    return true;
}

bool IGraphicsLice::DrawHorizontalLine(const IColorARGB& color, int y, int x1, int x2) noexcept
{
    ORX_MAIN_THREAD();
    if (!mpSurface || !mpSurface->getBits() || mpSurface->getWidth() < 1 ||
        mpSurface->getHeight() < 1)
        return false;
    y = std::clamp(y, 0, mpSurface->getHeight() - 1);
    x1 = std::clamp(x1, 0, mpSurface->getWidth() - 1);
    x2 = std::clamp(x2, 0, mpSurface->getWidth() - 1);
    if (x2 < x1)
        return false;
    const IRect clip = DrawingArea();
    if (y < clip.mT || y >= clip.mB)
        return true;
    x1 = std::max(x1, clip.mL);
    x2 = std::min(x2, clip.mR - 1);
    LICE_pixel* row = mpSurface->getBits() + y * mpSurface->getRowSpan();
    if (x1 <= x2)
        std::fill(row + x1, row + x2 + 1, color.Packed());
    return true;
}

void IGraphicsLice::Resize(int width, int height) noexcept
{
    ORX_MAIN_THREAD();
    IGraphics::Resize(width, height);
    if (mpSurface)
        mpSurface->resize(width, height);
}

IBitmapHandle IGraphicsLice::LoadBitmap(int id, const char* name, int frames) noexcept
{
    ORX_MAIN_THREAD();
    LICE_IBitmap* bitmap = nullptr;
    try
    {
        bitmap = BitmapCache::FindOrLoad(id, [&] { return LoadBitmapResource(id, name); });
    }
    catch (...)
    {
        bitmap = nullptr; // out of memory while caching: an empty handle, drawn as nothing
    }
    if (!bitmap)
        return {nullptr, 0, 0, frames};
    return {bitmap, bitmap->getWidth(), bitmap->getHeight(), frames};
}

IBitmapHandle IGraphicsLice::ScaleBitmap(const IBitmapHandle& bitmap, int width,
                                         int height) noexcept
{
    ORX_MAIN_THREAD();
    if (!bitmap.mpBitmap || width <= 0 || height <= 0)
        return {nullptr, 0, 0, bitmap.mN};
    auto scaled = std::make_unique<LICE_MemBitmap>(width, height);
    LICE::ScaledBlit(scaled.get(), bitmap.mpBitmap, 0, 0, width, height, 0.0f, 0.0f,
                     float(bitmap.mpBitmap->getWidth()), float(bitmap.mpBitmap->getHeight()), 1.0f,
                     LICE_BLIT_MODE_COPY | LICE_BLIT_FILTER_BILINEAR);
    LICE_IBitmap* kept = BitmapCache::Retain(std::move(scaled));
    return {kept, width, height, bitmap.mN};
}

IBitmapHandle IGraphicsLice::CropBitmap(const IBitmapHandle& bitmap, const IRect& rect) noexcept
{
    ORX_MAIN_THREAD();
    if (!bitmap.mpBitmap || rect.W() <= 0 || rect.H() <= 0)
        return {nullptr, 0, 0, bitmap.mN};
    auto cropped = std::make_unique<LICE_MemBitmap>(rect.W(), rect.H());
    // Whatever of rect lies outside the image stays transparent black.
    LICE::FillRectangle(cropped.get(), 0, 0, rect.W(), rect.H(), 0, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::BlitPart(cropped.get(), bitmap.mpBitmap, 0, 0, rect.mL, rect.mT, rect.W(), rect.H(), 1.0f,
                   LICE_BLIT_MODE_COPY);
    LICE_IBitmap* kept = BitmapCache::Retain(std::move(cropped));
    return {kept, rect.W(), rect.H(), bitmap.mN};
}

void IGraphicsLice::RetainBitmap(const IBitmapHandle& bitmap) noexcept
{
    ORX_MAIN_THREAD();
    BitmapCache::Adopt(bitmap.mpBitmap);
}

void IGraphicsLice::ReleaseBitmap(const IBitmapHandle& bitmap) noexcept
{
    ORX_MAIN_THREAD();
    BitmapCache::Release(bitmap.mpBitmap);
}

std::unique_ptr<LICE_IBitmap> IGraphicsLice::LoadBitmapResource(int id, const char* name) noexcept
{
    ORX_MAIN_THREAD();
    if (!EndsWithPng(name))
        return nullptr;
    return LICE::LoadPngResource(mpModule, id);
}
