#include "LICE_PngWrite.h"

#include "LICE_FileBytes.h"
#include "LICE_Rows.h"

#include <png.h>

namespace LICE
{

namespace
{

void WriteToVector(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

[[noreturn]] void SilentError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}
void SilentWarning(png_structp, png_const_charp) {}

// Owns libpng's write and info structures.
class WriteHandle
{
public:
    WriteHandle()
    {
        mpPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
        if (mpPng)
            mpInfo = png_create_info_struct(mpPng);
    }
    ~WriteHandle() { png_destroy_write_struct(&mpPng, mpInfo ? &mpInfo : nullptr); }
    WriteHandle(const WriteHandle&) = delete;
    WriteHandle& operator=(const WriteHandle&) = delete;

    bool Valid() const { return mpPng && mpInfo; }
    png_structp Png() const { return mpPng; }
    png_infop Info() const { return mpInfo; }

private:
    png_structp mpPng = nullptr;
    png_infop mpInfo = nullptr;
};

// Runs under libpng's jump buffer with plain locals only; row is scratch of width x 4 bytes.
bool Encode(png_structp png, png_infop info, const detail::Rows* rows, int width, int height,
            bool withAlpha, png_bytep row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
    {
        const LICE_pixel* p = rows->Row(y);
        png_bytep o = row;
        for (int x = 0; x < width; ++x)
        {
            *o++ = png_byte(p[x] >> 16);
            *o++ = png_byte(p[x] >> 8);
            *o++ = png_byte(p[x]);
            if (withAlpha)
                *o++ = png_byte(p[x] >> 24);
        }
        png_write_row(png, row);
    }
    png_write_end(png, info);
    return true;
}

} // namespace

bool WritePngToMemory(const LICE_IBitmap& bitmap, bool withAlpha, std::vector<unsigned char>& out)
{
    out.clear();
    const int width = bitmap.getWidth();
    const int height = bitmap.getHeight();
    if (width <= 0 || height <= 0 || !bitmap.getBits())
        return false;
    WriteHandle handle;
    if (!handle.Valid())
        return false;
    png_set_write_fn(handle.Png(), &out, WriteToVector, NoFlush);
    std::vector<png_byte> row(std::size_t(width) * 4);
    const detail::Rows rows = detail::RowsOf(bitmap);
    if (!Encode(handle.Png(), handle.Info(), &rows, width, height, withAlpha, row.data()))
    {
        out.clear();
        return false;
    }
    return true;
}

bool WritePngFile(const char* fileName, const LICE_IBitmap& bitmap, bool withAlpha)
{
    std::vector<unsigned char> bytes;
    return WritePngToMemory(bitmap, withAlpha, bytes) && WriteFileBytes(fileName, bytes);
}

} // namespace LICE
