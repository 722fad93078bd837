#pragma once
// A bitmap in ordinary memory. The first pixel sits on a 64-byte boundary; the buffer grows by a
// quarter beyond the requested size so that repeated resizing seldom reallocates, and it never
// shrinks (only a size of zero frees it).

#include "LICE_IBitmap.h"

#include <cstddef>
#include <cstdlib>
#include <memory>

class LICE_MemBitmap final : public LICE_IBitmap
{
public:
    // lineAlignment (pixels) rounds the row span up to a multiple of it; below 2 means none,
    // above 16 counts as 16. Every bitmap of the product uses 4.
    explicit LICE_MemBitmap(int width = 0, int height = 0, unsigned lineAlignment = 4);

    LICE_pixel* getBits() const override { return mpPixels; }
    int getWidth() const override { return mWidth; }
    int getHeight() const override { return mHeight; }
    int getRowSpan() const override { return (mWidth + mAlignMask) & ~mAlignMask; }
    bool resize(int width, int height) override;

    // Bytes the buffer can hold, whatever the current size.
    std::size_t getAllocatedBytes() const { return mAllocated; }

private:
    struct FreeDeleter
    {
        void operator()(unsigned char* p) const { std::free(p); }
    };

    std::unique_ptr<unsigned char, FreeDeleter> mpBuffer;
    LICE_pixel* mpPixels = nullptr;
    int mWidth = 0;
    int mHeight = 0;
    std::size_t mAllocated = 0;
    int mAlignMask = 0;
};
