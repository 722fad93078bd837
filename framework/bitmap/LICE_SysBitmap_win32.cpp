// A 32-bit top-down DIB section selected into a memory device context compatible with the
// screen. Every GDI handle is held by a counted owner that releases it (Win32Handle.h).
#include "LICE_SysBitmap.h"

#include "Win32Handle.h"

#include <new>

using DcHandle = orx::win32::OwnedMemoryDc;
using BitmapHandle = orx::win32::OwnedBitmap;

struct LICE_SysBitmap::Platform
{
    DcHandle mpDc;
    BitmapHandle mpSection;
    HGDIOBJ mpPreviousObject = nullptr; // selected into the context before the section

    ~Platform() { Deselect(); }

    void Deselect()
    {
        if (mpPreviousObject && mpDc)
            SelectObject(mpDc.get(), mpPreviousObject);
        mpPreviousObject = nullptr;
    }
};

LICE_SysBitmap::LICE_SysBitmap(int width, int height)
{
    DcHandle dc(CreateCompatibleDC(nullptr));
    if (dc)
    {
        mpPlatform.reset(new (std::nothrow) Platform);
        if (mpPlatform)
            mpPlatform->mpDc = std::move(dc);
    }
    if (width > 0 || height > 0)
        resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap() = default;

void* LICE_SysBitmap::getDC() const
{
    return mpPlatform ? mpPlatform->mpDc.get() : nullptr;
}

bool LICE_SysBitmap::CreateSection()
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = mAllocWidth;
    info.bmiHeader.biHeight = -mAllocHeight; // negative: rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    void* bits = nullptr;
    BitmapHandle section(
        CreateDIBSection(mpPlatform->mpDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits)
        return false;
    mpPlatform->mpPreviousObject = SelectObject(mpPlatform->mpDc.get(), section.get());
    mpPlatform->mpSection = std::move(section);
    mpPixels = static_cast<LICE_pixel*>(bits);
    return true;
}

void LICE_SysBitmap::ReleaseSection()
{
    mpPlatform->Deselect();
    mpPlatform->mpSection.reset();
    mpPixels = nullptr;
    mAllocWidth = 0;
    mAllocHeight = 0;
}
