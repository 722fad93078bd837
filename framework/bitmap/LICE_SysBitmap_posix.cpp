// Without a window system the surface is plain 64-byte aligned memory; there is no device
// context.
#include "LICE_SysBitmap.h"

#include <cstdlib>
#include <new>

struct LICE_SysBitmap::Platform
{
    struct FreeDeleter
    {
        void operator()(LICE_pixel* p) const { std::free(p); }
    };
    std::unique_ptr<LICE_pixel, FreeDeleter> mpSection;
};

LICE_SysBitmap::LICE_SysBitmap(int width, int height) : mpPlatform(new (std::nothrow) Platform)
{
    if (width > 0 || height > 0)
        resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap() = default;

void* LICE_SysBitmap::getDC() const
{
    return nullptr;
}

bool LICE_SysBitmap::CreateSection()
{
    const std::size_t bytes = static_cast<std::size_t>(mAllocWidth) * mAllocHeight * 4;
    // aligned_alloc wants a multiple of the alignment.
    auto* p = static_cast<LICE_pixel*>(std::aligned_alloc(64, (bytes + 63) & ~std::size_t{63}));
    mpPlatform->mpSection.reset(p);
    mpPixels = p;
    return p != nullptr;
}

void LICE_SysBitmap::ReleaseSection()
{
    mpPlatform->mpSection.reset();
    mpPixels = nullptr;
    mAllocWidth = 0;
    mAllocHeight = 0;
}
