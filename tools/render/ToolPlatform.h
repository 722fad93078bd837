#pragma once
// What the renderer asks of the operating system, one implementation per platform
// (ToolPlatform_posix.cpp, ToolPlatform_win32.cpp): files by UTF-8 name, a standard output
// of its own, whether standard error is a terminal, its own path and its arguments in UTF-8.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace orxrender
{

struct FileCloser
{
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file named in UTF-8 with an fopen mode; null when it cannot be opened.
FilePtr OpenFile(const std::string& path, const char* mode);

// Keeps standard output for the program's own output: answers a binary stream on it (no
// newline translation, so listings are byte-identical everywhere) and points descriptor 1 at
// standard error, so what hosted plug-ins print there does not mix into a listing. Null when
// the system refuses; standard output is then used as it is.
FilePtr ReserveStdout();

bool StderrIsTerminal();

// The running program's own file, or empty when the system does not say.
std::string ExecutablePath();

// The program's arguments, argv[0] included, in UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

} // namespace orxrender
