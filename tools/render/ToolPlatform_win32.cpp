#include "ToolPlatform.h"

#include "Utf8Text.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace orxrender
{
namespace
{

// LocalFree for what CommandLineToArgvW hands out.
struct LocalDeleter
{
    void operator()(LPWSTR* p) const noexcept { LocalFree(p); }
};

} // namespace

FilePtr OpenFile(const std::string& path, const char* mode)
{
    const std::wstring widePath = orx::Utf8ToWide(path);
    const std::wstring wideMode = orx::Utf8ToWide(mode);
    if (widePath.empty() || wideMode.empty())
        return FilePtr();
    return FilePtr(_wfopen(widePath.c_str(), wideMode.c_str()));
}

FilePtr ReserveStdout()
{
    std::fflush(stdout);
    const int own = _dup(_fileno(stdout));
    if (own < 0)
        return FilePtr();
    _setmode(own, _O_BINARY);
    FilePtr stream(_fdopen(own, "wb"));
    if (!stream)
    {
        _close(own);
        return FilePtr();
    }
    _dup2(_fileno(stderr), _fileno(stdout));
    // A plug-in with its own C runtime takes its standard output from the process's handle
    // when it loads, so that handle is pointed at standard error too.
    SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
    return stream;
}

bool StderrIsTerminal()
{
    DWORD mode = 0;
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

std::string ExecutablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;)
    {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size())
        {
            path.resize(n);
            return orx::WideToUtf8(path.c_str());
        }
        path.resize(path.size() * 2);
    }
}

std::vector<std::string> Utf8Arguments(int argc, char** argv)
{
    int n = 0;
    std::unique_ptr<LPWSTR, LocalDeleter> wide(CommandLineToArgvW(GetCommandLineW(), &n));
    if (!wide || n != argc)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < n; ++i)
        args.push_back(orx::WideToUtf8(wide.get()[i]));
    return args;
}

} // namespace orxrender
