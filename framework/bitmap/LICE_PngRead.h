#pragma once
// PNG decoding (libpng) into 32-bit bitmaps: every pixel ends up as alpha << 24 | red << 16 |
// green << 8 | blue; images without alpha get alpha 255. RGB, RGBA, grey, grey with alpha and
// palette images of any bit depth are accepted.

#include "LICE_MemBitmap.h"

#include <cstddef>
#include <memory>

namespace LICE
{

// For file dialogs.
inline constexpr const char* kPngFileDescription = "PNG files (*.PNG)";
inline constexpr const char* kPngFilePattern = "*.PNG";

// Decodes into a new memory bitmap (row alignment 4); null for data shorter than 8 bytes, a
// wrong signature or any decoding error. Truncated data reads as zeros past its end.
std::unique_ptr<LICE_MemBitmap> LoadPngFromMemory(const void* data, std::size_t size);

// Decodes into the given bitmap, resized to the image. False when the data is refused (the
// bitmap is then untouched), when the bitmap cannot take the image's size, or on a decoding
// error (the bitmap then holds the image's size with undefined pixels).
bool LoadPngFromMemory(const void* data, std::size_t size, LICE_IBitmap& into);

// The same from a file. With checkExtension, a name whose text from its last '.', '/' or '\'
// is not ".png" (any case) is refused without opening it.
std::unique_ptr<LICE_MemBitmap> LoadPngFile(const char* fileName, bool checkExtension);
bool LoadPngFile(const char* fileName, bool checkExtension, LICE_IBitmap& into);

// True when the name ends in ".png" in the sense of LoadPngFile's check.
bool HasPngExtension(const char* fileName);

} // namespace LICE
