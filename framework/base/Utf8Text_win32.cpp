#include "Utf8Text.h"

#include <windows.h>

namespace orx
{

std::wstring Utf8ToWide(const char* utf8)
{
    if (!utf8)
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

std::string WideToUtf8(const wchar_t* wide, int length)
{
    if (!wide)
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, text.data(), n, nullptr, nullptr);
    // With length -1 the count includes the terminating NUL.
    if (length < 0)
        text.resize(static_cast<std::size_t>(n - 1));
    return text;
}

} // namespace orx
