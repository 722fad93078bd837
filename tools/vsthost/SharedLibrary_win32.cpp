#include "SharedLibrary.h"

#include "Utf8Text.h"

#include <windows.h>

namespace orxhost
{
namespace
{

std::string SystemMessage(DWORD code)
{
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n && text ? std::string(text, n) : "error " + std::to_string(code);
    if (text)
        LocalFree(text);
    return message;
}

} // namespace

bool SharedLibrary::Open(const std::string& path, std::string* error)
{
    Close();
    const std::wstring wide = orx::Utf8ToWide(path);
    HMODULE module = wide.empty() ? LoadLibraryA(path.c_str()) : LoadLibraryW(wide.c_str());
    if (!module)
    {
        if (error)
            *error = OneLine("cannot load " + path + ": " + SystemMessage(GetLastError()));
        return false;
    }
    mpHandle = module;
    return true;
}

void* SharedLibrary::Symbol(const char* name) const noexcept
{
    if (!mpHandle)
        return nullptr;
    // A FARPROC is a code address; hand it on as a plain address like dlsym does.
    FARPROC proc = GetProcAddress(static_cast<HMODULE>(mpHandle), name);
    void* address = nullptr;
    static_assert(sizeof(proc) == sizeof(address));
    __builtin_memcpy(&address, &proc, sizeof(address));
    return address;
}

void SharedLibrary::Close() noexcept
{
    if (mpHandle && !mKeepLoaded)
        FreeLibrary(static_cast<HMODULE>(mpHandle));
    mpHandle = nullptr;
}

} // namespace orxhost
