#pragma once
// The graphics context drawing into a bitmap surface (LICE_SysBitmap) of the editor's size,
// with the images in the process-wide bitmap cache. Without a window layer on top it is a
// complete off-screen context: frames are painted into the surface and presented nowhere.

#include "IGraphics.h"

#include <memory>

class LICE_IBitmap;
class LICE_MemBitmap;
class LICE_SysBitmap;

class IGraphicsLice : public IGraphics
{
public:
    // [main-thread] No surface until CreateSurfaces.
    IGraphicsLice(IEditorHost* plug, int width, int height, int fps = 0);
    // Deletes the controls first (they may draw on their way out), then the surfaces.
    ~IGraphicsLice() override;

    void CreateSurfaces() noexcept override;
    void PushParamValue(int paramIdx, double value, bool normalised) noexcept override;
    void AttachBackground(int id, const char* name) noexcept override;

    bool DrawBitmap(const IBitmapHandle& bitmap, const IRect& dest, int srcX, int srcY,
                    const IBlendSpec* blend) noexcept override;
    bool DrawRotatedBitmap(const IBitmapHandle& bitmap, int cx, int cy, double angle, int yOffset,
                           const IBlendSpec* blend) noexcept override;
    bool DrawRotatedMask(const IBitmapHandle& base, const IBitmapHandle& mask,
                         const IBitmapHandle& top, int x, int y, double angle,
                         const IBlendSpec* blend) noexcept override;
    bool DrawPoint(const IColorARGB& color, float x, float y, const IBlendSpec* blend,
                   bool antiAlias) noexcept override;
    bool SetPixel(const IColorARGB& color, int x, int y) noexcept override;
    bool DrawLine(const IColorARGB& color, float x1, float y1, float x2, float y2,
                  const IBlendSpec* blend, bool antiAlias) noexcept override;
    bool DrawArc(const IColorARGB& color, float cx, float cy, float r, float minAngle,
                 float maxAngle, const IBlendSpec* blend, bool antiAlias) noexcept override;
    bool DrawCircle(const IColorARGB& color, float cx, float cy, float r, const IBlendSpec* blend,
                    bool antiAlias) noexcept override;
    bool FillRect(const IColorARGB& color, const IRect& rect,
                  const IBlendSpec* blend) noexcept override;
    // Through the text renderer (TextRenderer.h) into the surface.
    bool DrawText(const ITextStyle& style, const char* text, const IRect& rect) noexcept override;
    IColorARGB GetPixel(int x, int y) const noexcept override;
    std::uint32_t* SurfacePixels() const noexcept override;
    bool DrawVerticalLine(const IColorARGB& color, int x, int y1, int y2) noexcept override;
    bool DrawHorizontalLine(const IColorARGB& color, int y, int x1, int x2) noexcept override;

    // As IGraphics, then the surface takes the new size.
    void Resize(int width, int height) noexcept override;

    IBitmapHandle LoadBitmap(int id, const char* name, int frames = 1) noexcept override;
    // A bilinear scaled copy, kept in the cache under -1.
    IBitmapHandle ScaleBitmap(const IBitmapHandle& bitmap, int width, int height) noexcept override;
    // A plain copy of rect, kept in the cache under -1.
    IBitmapHandle CropBitmap(const IBitmapHandle& bitmap, const IRect& rect) noexcept override;
    void RetainBitmap(const IBitmapHandle& bitmap) noexcept override;
    void ReleaseBitmap(const IBitmapHandle& bitmap) noexcept override;

    // [main-thread] Decodes resource id; the name must end in ".png" (any case). Called by
    // LoadBitmap under the cache's lock, for ids not cached yet.
    virtual std::unique_ptr<LICE_IBitmap> LoadBitmapResource(int id, const char* name) noexcept;

    // The library that carries the images (its handle on Windows); set by the plug-in.
    void SetModule(void* module) noexcept { mpModule = module; }
    void* Module() const noexcept { return mpModule; }

    // Null before CreateSurfaces.
    LICE_SysBitmap* Surface() const noexcept { return mpSurface.get(); }

private:
    // Where drawing may write: the clip rectangle within the surface, all of it outside frames.
    IRect DrawingArea() const noexcept;

    std::unique_ptr<LICE_SysBitmap> mpSurface;
    std::unique_ptr<LICE_MemBitmap> mpScratch;
    void* mpModule = nullptr;
};

// Blit mode and opacity for a blend (null: copy with source alpha, opaque): for bitmaps,
// rectangles, lines and circles.
int BlitModeForBlend(const IBlendSpec* blend) noexcept;
// For points and arcs: add, dodge or copy, never with source alpha.
int PointModeForBlend(const IBlendSpec* blend) noexcept;
float OpacityForBlend(const IBlendSpec* blend) noexcept;
