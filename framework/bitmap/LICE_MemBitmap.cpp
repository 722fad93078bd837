#include "LICE_MemBitmap.h"

#include <cstdint>

namespace
{

// Larger pixel buffers than this are refused: they cannot be meant, and the size arithmetic of
// callers (row span x height x 4 in an int) stays exact below it.
constexpr std::int64_t kMaxBytes = std::int64_t{1} << 30;

unsigned char* Allocate(std::size_t bytes)
{
    return static_cast<unsigned char*>(std::malloc(bytes + 63));
}

LICE_pixel* AlignTo64(unsigned char* p)
{
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    return reinterpret_cast<LICE_pixel*>((address + 63) & ~std::uintptr_t{63});
}

} // namespace

LICE_MemBitmap::LICE_MemBitmap(int width, int height, unsigned lineAlignment)
{
    if (lineAlignment >= 2)
    {
        unsigned lowest = lineAlignment & (~lineAlignment + 1);
        if (lowest > 16)
            lowest = 16;
        mAlignMask = static_cast<int>(lowest) - 1;
    }
    if (width > 0 || height > 0)
        resize(width, height);
}

bool LICE_MemBitmap::resize(int width, int height)
{
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    if (width == mWidth && height == mHeight)
        return false;

    mWidth = width;
    mHeight = height;
    const std::int64_t span = (std::int64_t{width} + mAlignMask) & ~std::int64_t{mAlignMask};
    const std::int64_t bytes = std::int64_t{height} * span * 4;

    if (bytes <= 0 || bytes > kMaxBytes)
    {
        mpBuffer.reset();
        mAllocated = 0;
    }
    else if (static_cast<std::size_t>(bytes) > mAllocated)
    {
        // The old contents need not survive, so the old buffer goes before the new one comes.
        mpBuffer.reset();
        mAllocated = 0;
        const auto exact = static_cast<std::size_t>(bytes);
        const std::size_t grown = exact + exact / 4;
        if (unsigned char* p = Allocate(grown))
        {
            mpBuffer.reset(p);
            mAllocated = grown;
        }
        else if (unsigned char* q = Allocate(exact))
        {
            mpBuffer.reset(q);
            mAllocated = exact;
        }
    }

    if (mpBuffer)
    {
        mpPixels = AlignTo64(mpBuffer.get());
    }
    else
    {
        mpPixels = nullptr;
        mWidth = 0;
        mHeight = 0;
    }
    return true;
}
