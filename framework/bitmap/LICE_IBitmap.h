#pragma once
// A 32-bit pixel image: each pixel is alpha << 24 | red << 16 | green << 8 | blue, stored
// little-endian (bytes blue, green, red, alpha in memory), rows spaced by the row span.

#include <cstdint>

using LICE_pixel = std::uint32_t;

class LICE_IBitmap
{
public:
    virtual ~LICE_IBitmap() = default;

    // First pixel of the first stored row, or null when the bitmap holds no memory.
    virtual LICE_pixel* getBits() const = 0;
    virtual int getWidth() const = 0;
    virtual int getHeight() const = 0;
    // Distance between two stored rows, in pixels.
    virtual int getRowSpan() const = 0;
    // True when the rows are stored bottom-up (row 0 of the image is the last stored row).
    virtual bool isFlipped() const { return false; }
    // Answers true when the size changed. The new pixel contents are undefined.
    virtual bool resize(int width, int height) = 0;
    // The platform drawing context of a system bitmap (an HDC on Windows); null otherwise.
    virtual void* getDC() const { return nullptr; }
    virtual int Extended(int id, void* data)
    {
        (void)id;
        (void)data;
        return 0;
    }

protected:
    LICE_IBitmap() = default;
    LICE_IBitmap(const LICE_IBitmap&) = delete;
    LICE_IBitmap& operator=(const LICE_IBitmap&) = delete;
};
