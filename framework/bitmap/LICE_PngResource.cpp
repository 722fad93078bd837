#include "LICE_PngResource.h"

#include "LICE_PngRead.h"

namespace LICE
{

std::unique_ptr<LICE_MemBitmap> LoadPngResource(void* module, int id)
{
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (!FindPngResource(module, id, data, size) || size <= 7)
        return nullptr;
    return LoadPngFromMemory(data, size);
}

bool LoadPngResource(void* module, int id, LICE_IBitmap& into)
{
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (!FindPngResource(module, id, data, size) || size <= 7)
        return false;
    return LoadPngFromMemory(data, size, into);
}

} // namespace LICE
