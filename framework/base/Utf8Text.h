#pragma once
// UTF-8 text to and from the UTF-16 of the Windows wide-character interface. Everything of ours
// keeps text in UTF-8; only the Windows platform files convert, at the system call. Windows
// builds only.

#include <string>

namespace orx
{

// Empty for null or text that is not valid UTF-8.
std::wstring Utf8ToWide(const char* utf8);
inline std::wstring Utf8ToWide(const std::string& utf8)
{
    return Utf8ToWide(utf8.c_str());
}

// length < 0: up to the terminating NUL.
std::string WideToUtf8(const wchar_t* wide, int length = -1);

} // namespace orx
