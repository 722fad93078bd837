#pragma once
// The images carried inside the library: resources of type "PNG", numbered by id.
//
// module is the library that carries them: on Windows its HINSTANCE (the plug-in passes its
// own module handle); elsewhere the images are linked into the binary and module is not used.
// Either way the binary must link the resource library of resources/ directly.

#include "LICE_MemBitmap.h"

#include <cstddef>
#include <memory>

namespace LICE
{

// The raw bytes of resource id; false when there is none.
bool FindPngResource(void* module, int id, const unsigned char*& data, std::size_t& size);

// Decodes resource id; null when it is missing, holds 7 bytes or less, or does not decode.
std::unique_ptr<LICE_MemBitmap> LoadPngResource(void* module, int id);
bool LoadPngResource(void* module, int id, LICE_IBitmap& into);

} // namespace LICE
