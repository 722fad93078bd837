#pragma once
// The bitmap the editor paints into. On Windows it is a 32-bit top-down DIB section selected
// into a memory device context compatible with the screen, so the window layer can copy it to a
// window; elsewhere it is the same surface in plain memory, without a device context.
// The row span is the allocated width, a multiple of 4; the surface is reused while a new size
// fits within what is allocated.

#include "LICE_IBitmap.h"

#include <memory>

class LICE_SysBitmap final : public LICE_IBitmap
{
public:
    explicit LICE_SysBitmap(int width = 0, int height = 0);
    ~LICE_SysBitmap() override;

    LICE_pixel* getBits() const override { return mpPixels; }
    int getWidth() const override { return mWidth; }
    int getHeight() const override { return mHeight; }
    int getRowSpan() const override { return mAllocWidth; }
    bool resize(int width, int height) override;
    void* getDC() const override;

    int getAllocatedWidth() const { return mAllocWidth; }
    int getAllocatedHeight() const { return mAllocHeight; }

private:
    // The platform part: the device context and the pixel section (see the *_win32 and
    // *_posix sources). Null when the platform refused a device context.
    struct Platform;

    // Creates a section of the allocated size; false leaves no section.
    bool CreateSection();
    void ReleaseSection();

    int mWidth = 0;
    int mHeight = 0;
    LICE_pixel* mpPixels = nullptr;
    int mAllocWidth = 0;
    int mAllocHeight = 0;
    std::unique_ptr<Platform> mpPlatform;
};
