#include "PlatformFiles.h"

#include <windows.h>

#include <cstring>

const char kPathSeparator = '\\';

namespace
{
std::wstring Widen(const char* utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out.data(), n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

std::string Narrow(const wchar_t* wide)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

struct FindCloser
{
    HANDLE mHandle;
    ~FindCloser()
    {
        if (mHandle != INVALID_HANDLE_VALUE)
            FindClose(mHandle);
    }
};

bool IsDotEntry(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}
} // namespace

bool IsAbsolutePath(const char* path)
{
    if (!path || !*path)
        return false;
    if (path[0] == '\\' || path[0] == '/')
        return true;
    const bool letter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    return letter && path[1] == ':';
}

FileHandle OpenUtf8File(const char* path, const char* mode)
{
    if (!path || !*path)
        return nullptr;
    const std::wstring wpath = Widen(path), wmode = Widen(mode);
    if (wpath.empty())
        return nullptr;
    return FileHandle(_wfopen(wpath.c_str(), wmode.c_str()));
}

bool MoveFileOver(const char* source, const char* target)
{
    return MoveFileExW(Widen(source).c_str(), Widen(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool DeleteFileAt(const char* path)
{
    return DeleteFileW(Widen(path).c_str()) != 0;
}

bool ScanFolder(const char* folder, DirectoryVisitor& visitor)
{
    std::string pattern = folder;
    if (!pattern.empty() && (pattern.back() == '\\' || pattern.back() == '/'))
        pattern.pop_back();
    pattern += "\\*";

    // The wide interface first, so folder and file names outside the ANSI code page survive;
    // the narrow one when the wide call fails.
    WIN32_FIND_DATAW wide{};
    FindCloser wideFind{FindFirstFileW(Widen(pattern.c_str()).c_str(), &wide)};
    if (wideFind.mHandle != INVALID_HANDLE_VALUE)
    {
        do
        {
            const std::string name = Narrow(wide.cFileName);
            if (!name.empty() && !IsDotEntry(name.c_str()))
                visitor.Entry(name.c_str(),
                              (wide.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        } while (FindNextFileW(wideFind.mHandle, &wide));
        return true;
    }

    WIN32_FIND_DATAA narrow{};
    FindCloser narrowFind{FindFirstFileA(pattern.c_str(), &narrow)};
    if (narrowFind.mHandle == INVALID_HANDLE_VALUE)
        return false;
    do
    {
        if (!IsDotEntry(narrow.cFileName))
            visitor.Entry(narrow.cFileName,
                          (narrow.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileA(narrowFind.mHandle, &narrow));
    return true;
}
