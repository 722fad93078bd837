#include "ModulePath.h"

#include <dlfcn.h>

namespace orx
{
namespace
{

// Any address inside this module will do: dladdr names the object that holds it.
bool Locate(Dl_info* info) noexcept
{
    return dladdr(reinterpret_cast<void*>(&ModuleHandle), info) != 0;
}

} // namespace

void* ModuleHandle() noexcept
{
    Dl_info info{};
    return Locate(&info) ? info.dli_fbase : nullptr;
}

std::string ModuleFilePath()
{
    Dl_info info{};
    if (!Locate(&info) || !info.dli_fname)
        return {};
    return info.dli_fname;
}

std::string ModuleFolder()
{
    const std::string path = ModuleFilePath();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace orx
