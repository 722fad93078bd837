// The images are linked into the binary (resources/); the module is not needed to find them.
#include "LICE_EmbeddedResources.h"
#include "LICE_PngResource.h"

namespace LICE
{

bool FindPngResource(void* module, int id, const unsigned char*& data, std::size_t& size)
{
    (void)module;
    std::size_t count = 0;
    const LICE_EmbeddedResource* table = LICE_GetEmbeddedResources(count);
    for (std::size_t i = 0; i < count; ++i)
    {
        if (table[i].mId == id)
        {
            data = table[i].mpData;
            size = table[i].mSize;
            return true;
        }
    }
    return false;
}

} // namespace LICE
