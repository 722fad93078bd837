#include "PlatformFiles.h"

#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

const char kPathSeparator = '/';

namespace
{
struct DirCloser
{
    void operator()(DIR* d) const noexcept { closedir(d); }
};
} // namespace

bool IsAbsolutePath(const char* path)
{
    return path && path[0] == '/';
}

FileHandle OpenUtf8File(const char* path, const char* mode)
{
    if (!path || !*path)
        return nullptr;
    return FileHandle(std::fopen(path, mode));
}

bool MoveFileOver(const char* source, const char* target)
{
    return std::rename(source, target) == 0;
}

bool DeleteFileAt(const char* path)
{
    return std::remove(path) == 0;
}

bool ScanFolder(const char* folder, DirectoryVisitor& visitor)
{
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder));
    if (!dir)
        return false;
    std::string path;
    while (const dirent* e = readdir(dir.get()))
    {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        bool isFolder = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK)
        {
            path.assign(folder).append(1, '/').append(e->d_name);
            struct stat st
            {
            };
            isFolder = stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        visitor.Entry(e->d_name, isFolder);
    }
    return true;
}
