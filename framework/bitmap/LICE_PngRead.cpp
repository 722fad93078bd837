#include "LICE_PngRead.h"

#include "LICE_FileBytes.h"
#include "LICE_Rows.h"

#include <png.h>

#include <cstring>
#include <new>
#include <vector>

namespace LICE
{

namespace
{

// Images above this many pixels (1 GiB of bitmap) are refused before anything is allocated.
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 28;
constexpr png_uint_32 kMaxSide = 65535;
// Deflate cannot expand data by more than this factor.
constexpr std::uint64_t kMaxInflation = 1032;

// Zeros past the end of the input, at most this many: enough for a cut-off end chunk, while a
// chunk length of gigabytes near the end fails at once instead of being read as zeros.
constexpr std::size_t kMaxZerosPastEnd = 64;

struct MemoryReader
{
    const unsigned char* mpData;
    std::size_t mRemaining;
    std::size_t mZerosPastEnd = 0;
};

// Each request is zero-filled first, so reading a little past the end yields zeros, not a
// reader error.
void ReadFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    const std::size_t n = length < reader->mRemaining ? length : reader->mRemaining;
    reader->mZerosPastEnd += length - n;
    if (reader->mZerosPastEnd > kMaxZerosPastEnd)
        png_error(png, "read past the end");
    std::memset(out, 0, length);
    std::memcpy(out, reader->mpData, n);
    reader->mpData += n;
    reader->mRemaining -= n;
}

// A bad image is an ordinary event: no text on standard error.
[[noreturn]] void SilentError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}
void SilentWarning(png_structp, png_const_charp) {}

// Owns libpng's read and info structures.
class ReadHandle
{
public:
    ReadHandle()
    {
        mpPng = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
        if (mpPng)
            mpInfo = png_create_info_struct(mpPng);
    }
    ~ReadHandle() { png_destroy_read_struct(&mpPng, mpInfo ? &mpInfo : nullptr, nullptr); }
    ReadHandle(const ReadHandle&) = delete;
    ReadHandle& operator=(const ReadHandle&) = delete;

    bool Valid() const { return mpPng && mpInfo; }
    png_structp Png() const { return mpPng; }
    png_infop Info() const { return mpInfo; }

private:
    png_structp mpPng = nullptr;
    png_infop mpInfo = nullptr;
};

// The two steps below run under libpng's jump buffer, so they hold only plain locals: a libpng
// error jumps back into them and they answer false.

// Reads the header and asks for the conversions to 8-bit A, R, G, B per pixel. An image whose
// filtered rows need more bytes than the input could inflate to cannot decode: it is refused
// before its bitmap is allocated (a few dozen bytes would otherwise claim a gigabyte).
bool ReadHeader(png_structp png, png_infop info, std::size_t inputSize, png_uint_32* width,
                png_uint_32* height)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_read_info(png, info);
    int depth = 0, colourType = 0;
    png_get_IHDR(png, info, width, height, &depth, &colourType, nullptr, nullptr, nullptr);
    const std::uint64_t rowBits = std::uint64_t{*width} * png_get_channels(png, info) * depth;
    const std::uint64_t filteredBytes = std::uint64_t{*height} * (1 + (rowBits + 7) / 8);
    if (filteredBytes > std::uint64_t{inputSize} * kMaxInflation)
        return false;

    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_expand(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand(png);
    if (transparency)
        png_set_tRNS_to_alpha(png);
    if (depth == 16)
        png_set_strip_16(png);
    if (depth < 8)
        png_set_packing(png);
    const bool alpha = transparency || (colourType & PNG_COLOR_MASK_ALPHA) != 0;
    if (!alpha)
        png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0)
        png_set_gray_to_rgb(png);
    if (alpha)
        png_set_swap_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == std::size_t{*width} * 4;
}

bool ReadPixels(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    return true;
}

// Bytes A, R, G, B in memory become the packed value A << 24 | R << 16 | G << 8 | B.
void PackRows(const detail::Rows& rows, int width, int height)
{
    for (int y = 0; y < height; ++y)
    {
        auto* p = rows.Row(y);
        for (int x = 0; x < width; ++x)
        {
            unsigned char b[4];
            std::memcpy(b, &p[x], 4);
            p[x] = LICE_pixel(b[0]) << 24 | LICE_pixel(b[1]) << 16 | LICE_pixel(b[2]) << 8 | b[3];
        }
    }
}

bool Refused(const void* data, std::size_t size)
{
    return !data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0;
}

// into is the given bitmap, or null to create one in made.
bool Decode(const void* data, std::size_t size, LICE_IBitmap* into,
            std::unique_ptr<LICE_MemBitmap>& made)
{
    if (Refused(data, size))
        return false;
    ReadHandle handle;
    if (!handle.Valid())
        return false;
    MemoryReader reader{static_cast<const unsigned char*>(data), size};
    png_set_read_fn(handle.Png(), &reader, ReadFromMemory);

    png_uint_32 width = 0, height = 0;
    if (!ReadHeader(handle.Png(), handle.Info(), size, &width, &height) || width == 0 ||
        height == 0 || std::uint64_t{width} * height > kMaxPixels)
        return false;

    const int w = int(width), h = int(height);
    if (into)
    {
        into->resize(w, h);
    }
    else
    {
        made.reset(new (std::nothrow) LICE_MemBitmap(w, h, 4));
        into = made.get();
    }
    if (!into || into->getWidth() != w || into->getHeight() != h || !into->getBits())
        return false;

    const detail::Rows rows = detail::RowsOf(*into);
    std::vector<png_bytep> pointers(height);
    for (int y = 0; y < h; ++y)
        pointers[y] = reinterpret_cast<png_bytep>(rows.Row(y));
    if (!ReadPixels(handle.Png(), pointers.data()))
        return false;
    PackRows(rows, w, h);
    return true;
}

} // namespace

std::unique_ptr<LICE_MemBitmap> LoadPngFromMemory(const void* data, std::size_t size)
{
    std::unique_ptr<LICE_MemBitmap> made;
    if (!Decode(data, size, nullptr, made))
        made.reset();
    return made;
}

bool LoadPngFromMemory(const void* data, std::size_t size, LICE_IBitmap& into)
{
    std::unique_ptr<LICE_MemBitmap> unused;
    return Decode(data, size, &into, unused);
}

bool HasPngExtension(const char* fileName)
{
    if (!fileName)
        return false;
    const char* tail = nullptr;
    for (const char* p = fileName; *p; ++p)
        if (*p == '.' || *p == '/' || *p == '\\')
            tail = p;
    if (!tail || std::strlen(tail) != 4 || tail[0] != '.')
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(tail[1]) == 'p' && lower(tail[2]) == 'n' && lower(tail[3]) == 'g';
}

std::unique_ptr<LICE_MemBitmap> LoadPngFile(const char* fileName, bool checkExtension)
{
    std::vector<unsigned char> bytes;
    if ((checkExtension && !HasPngExtension(fileName)) || !ReadFileBytes(fileName, bytes))
        return nullptr;
    return LoadPngFromMemory(bytes.data(), bytes.size());
}

bool LoadPngFile(const char* fileName, bool checkExtension, LICE_IBitmap& into)
{
    std::vector<unsigned char> bytes;
    if ((checkExtension && !HasPngExtension(fileName)) || !ReadFileBytes(fileName, bytes))
        return false;
    return LoadPngFromMemory(bytes.data(), bytes.size(), into);
}

} // namespace LICE
