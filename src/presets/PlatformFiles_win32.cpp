#include "PlatformFiles.h"

#include "Utf8Text.h"

#include <windows.h>

#include <cstring>

const char kPathSeparator = '\\';

namespace
{
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
    const std::wstring wpath = orx::Utf8ToWide(path), wmode = orx::Utf8ToWide(mode);
    if (wpath.empty())
        return nullptr;
    return FileHandle(_wfopen(wpath.c_str(), wmode.c_str()));
}

bool MoveFileOver(const char* source, const char* target)
{
    return MoveFileExW(orx::Utf8ToWide(source).c_str(), orx::Utf8ToWide(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool DeleteFileAt(const char* path)
{
    return DeleteFileW(orx::Utf8ToWide(path).c_str()) != 0;
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
    FindCloser wideFind{FindFirstFileW(orx::Utf8ToWide(pattern.c_str()).c_str(), &wide)};
    if (wideFind.mHandle != INVALID_HANDLE_VALUE)
    {
        do
        {
            const std::string name = orx::WideToUtf8(wide.cFileName);
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
