#include "ToolPlatform.h"

#include <unistd.h>

#include <climits>

namespace orxrender
{

FilePtr OpenFile(const std::string& path, const char* mode)
{
    return FilePtr(std::fopen(path.c_str(), mode));
}

FilePtr ReserveStdout()
{
    std::fflush(stdout);
    const int own = dup(STDOUT_FILENO);
    if (own < 0)
        return FilePtr();
    FilePtr stream(fdopen(own, "wb"));
    if (!stream)
    {
        close(own);
        return FilePtr();
    }
    dup2(STDERR_FILENO, STDOUT_FILENO);
    return stream;
}

bool StderrIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

std::string ExecutablePath()
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return {};
    return std::string(path, static_cast<std::size_t>(n));
}

std::vector<std::string> Utf8Arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

} // namespace orxrender
