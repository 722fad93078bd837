#include "HomeDirectory.h"

#include "Check.h"
#include "ModulePath.h"
#include "PlatformFiles.h"

#include <cstring>

namespace
{
constexpr const char* kTag = "src/HomeDirectory";
constexpr size_t kMaxPath = kHomePathSize - 1;
} // namespace

bool HomeDirectoryFromModulePath(const char* modulePath, char* pathname)
{
    ORX_CHECK(kTag, pathname != nullptr, "mpPathname != 0");
    if (!pathname)
        return false;
    pathname[0] = '\0';
    if (!modulePath || !*modulePath)
        return false;
    const size_t length = std::strlen(modulePath);
    if (length > kMaxPath)
        return false;
    std::memcpy(pathname, modulePath, length + 1);
    if (char* last = std::strrchr(pathname, kPathSeparator))
        *last = '\0';
    return true;
}

bool HomeDirectory(char* pathname)
{
    return HomeDirectoryFromModulePath(orx::ModuleFilePath().c_str(), pathname);
}

void ConfigurationFilePath(const char* homeDirectory, char* path)
{
    path[0] = '\0';
    if (!homeDirectory || !*homeDirectory)
        return;
    const size_t folder = std::strlen(homeDirectory);
    const size_t name = std::strlen(kConfigurationFileName);
    if (folder + name + 1 > kMaxPath)
        return;
    std::memcpy(path, homeDirectory, folder);
    path[folder] = kPathSeparator;
    std::memcpy(path + folder + 1, kConfigurationFileName, name + 1);
}

void ConfigurationFilePath(char* path)
{
    char home[kHomePathSize];
    if (!HomeDirectory(home))
    {
        path[0] = '\0';
        return;
    }
    ConfigurationFilePath(home, path);
}

std::string ResolveBesideLibrary(const std::string& path, const char* homeDirectory)
{
    if (path.empty() || IsAbsolutePath(path.c_str()) || !homeDirectory || !*homeDirectory)
        return path;
    std::string resolved = homeDirectory;
    resolved += kPathSeparator;
    resolved += path;
    return resolved;
}

std::string ResolveBesideLibrary(const std::string& path)
{
    char home[kHomePathSize];
    return HomeDirectory(home) ? ResolveBesideLibrary(path, home) : path;
}
