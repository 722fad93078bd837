#include "ModulePath.h"

#include "Utf8Text.h"

#include <atomic>
#include <vector>
#include <windows.h>

namespace
{
std::atomic<HINSTANCE> gModule{nullptr};
}

// The loader tells the library its own handle when it maps it.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH)
        gModule.store(instance);
    return TRUE;
}

namespace orx
{

void* ModuleHandle() noexcept
{
    HINSTANCE module = gModule.load();
    if (!module)
    {
        // Linked into a program rather than a library: ask which module holds this code.
        HMODULE found = nullptr;
        if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               reinterpret_cast<LPCWSTR>(&ModuleHandle), &found))
            module = found;
    }
    return module;
}

std::string ModuleFilePath()
{
    const HMODULE module = static_cast<HMODULE>(ModuleHandle());
    std::vector<wchar_t> wide(MAX_PATH);
    for (;;)
    {
        const DWORD n = GetModuleFileNameW(module, wide.data(), static_cast<DWORD>(wide.size()));
        if (n == 0)
            return {};
        if (n < wide.size())
        {
            wide.resize(n);
            break;
        }
        if (wide.size() >= 32768)
            return {};
        wide.resize(wide.size() * 2);
    }
    return WideToUtf8(wide.data(), static_cast<int>(wide.size()));
}

std::string ModuleFolder()
{
    const std::string path = ModuleFilePath();
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace orx
