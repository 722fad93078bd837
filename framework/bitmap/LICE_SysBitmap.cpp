#include "LICE_SysBitmap.h"

#include <cstdint>

namespace
{

// Sections above this many bytes are refused, as for memory bitmaps.
constexpr std::int64_t kMaxBytes = std::int64_t{1} << 30;

} // namespace

bool LICE_SysBitmap::resize(int width, int height)
{
    // No platform part means no device context could be made: the bitmap stays empty.
    if (!mpPlatform)
    {
        mWidth = 0;
        mHeight = 0;
        return false;
    }
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    if (width == mWidth && height == mHeight)
        return false;

    mWidth = width;
    mHeight = height;
    if (width > 0 && height > 0 && width <= mAllocWidth && height <= mAllocHeight && mpPixels)
        return true;

    ReleaseSection();
    if (width == 0 || height == 0)
    {
        mWidth = 0;
        mHeight = 0;
        return false;
    }
    const std::int64_t allocWidth = (std::int64_t{width} + 3) & ~std::int64_t{3};
    if (allocWidth * height * 4 > kMaxBytes)
    {
        mWidth = 0;
        mHeight = 0;
        return true;
    }
    mAllocWidth = static_cast<int>(allocWidth);
    mAllocHeight = height;
    if (!CreateSection())
    {
        mAllocWidth = 0;
        mAllocHeight = 0;
        mWidth = 0;
        mHeight = 0;
    }
    return true;
}
