// Resources of type "PNG" in the given module. Resource memory belongs to the module and needs
// no release.
#include "LICE_PngResource.h"

#include <windows.h>

namespace LICE
{

bool FindPngResource(void* module, int id, const unsigned char*& data, std::size_t& size)
{
    if (id < 0 || id > 0xFFFF)
        return false;
    const auto instance = static_cast<HMODULE>(module);
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(id), "PNG");
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(instance, resource);
    const DWORD bytes = SizeofResource(instance, resource);
    const void* p = loaded ? LockResource(loaded) : nullptr;
    if (!p)
        return false;
    data = static_cast<const unsigned char*>(p);
    size = bytes;
    return true;
}

} // namespace LICE
