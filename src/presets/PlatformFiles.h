#pragma once
// The file-system seam of the product: one contract, one implementation per OS
// (PlatformFiles_win32.cpp, PlatformFiles_posix.cpp). Every path here is UTF-8.

#include <cstdio>
#include <memory>
#include <string>

// The separator this platform writes between folder and file names.
extern const char kPathSeparator;

struct FileCloser
{
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// True for a path that does not depend on the current folder ("/x" here; "C:\x", "\\server\x"
// or "\x" on Windows).
bool IsAbsolutePath(const char* path);

// fopen with a UTF-8 path; null on failure.
FileHandle OpenUtf8File(const char* path, const char* mode);

// Replaces target by source in one step (the target may exist); false on failure, in which
// case target is untouched.
bool MoveFileOver(const char* source, const char* target);
bool DeleteFileAt(const char* path);

// Receives the entries of one folder, in the order the file system returns them, without "."
// and "..".
class DirectoryVisitor
{
public:
    virtual ~DirectoryVisitor() = default;
    virtual void Entry(const char* name, bool isFolder) = 0;
};

// Lists folder; an unreadable or missing folder yields no entries and answers false.
bool ScanFolder(const char* folder, DirectoryVisitor& visitor);
