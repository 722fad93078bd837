#include "ThreadRole.h"

#include <cstring>

namespace orx
{

const char* SourceTag(const char* path) noexcept
{
    if (!path)
        return "";
    // The last top folder named in the path wins: the checkout itself may sit below a "src".
    const char* tag = path;
    static constexpr const char* kFolders[] = {"/framework/", "/src/", "/tools/", "/tests/"};
    for (const char* folder : kFolders)
        for (const char* p = std::strstr(path, folder); p; p = std::strstr(p + 1, folder))
            if (p + 1 > tag)
                tag = p + 1;
    return tag;
}

} // namespace orx
