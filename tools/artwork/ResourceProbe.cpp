// Windows: decodes every image of the resource table from the program's own resources, the way
// the plug-in DLL finds them through its module handle. Exit status 0 when all 26 decode.
#include "LICE_PngResource.h"

#include <cstdio>
#include <windows.h>

int main()
{
    void* module = GetModuleHandleW(nullptr);
    int decoded = 0;
    for (int id = 100; id <= 125; ++id)
    {
        const auto bitmap = LICE::LoadPngResource(module, id);
        if (bitmap)
        {
            ++decoded;
            std::printf("%d: %d x %d\n", id, bitmap->getWidth(), bitmap->getHeight());
        }
        else
        {
            std::printf("%d: missing\n", id);
        }
    }
    std::printf("%d of 26 images decoded\n", decoded);
    return decoded == 26 ? 0 : 1;
}
