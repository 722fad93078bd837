#include "SharedLibrary.h"

#include <dlfcn.h>

namespace orxhost
{

bool SharedLibrary::Open(const std::string& path, std::string* error)
{
    Close();
    dlerror();
    mpHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!mpHandle)
    {
        const char* reason = dlerror();
        if (error)
            *error = OneLine("cannot load " + path + ": " + (reason ? reason : "unknown error"));
        return false;
    }
    return true;
}

void* SharedLibrary::Symbol(const char* name) const noexcept
{
    return mpHandle ? dlsym(mpHandle, name) : nullptr;
}

void SharedLibrary::Close() noexcept
{
    if (mpHandle && !mKeepLoaded)
        dlclose(mpHandle);
    mpHandle = nullptr;
}

} // namespace orxhost
