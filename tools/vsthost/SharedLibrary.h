#pragma once
// A dynamic library opened by path and closed when the object goes: dlopen on POSIX,
// LoadLibrary on Windows.

#include <string>

namespace orxhost
{

class SharedLibrary
{
public:
    SharedLibrary() = default;
    ~SharedLibrary() { Close(); }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads the library at path (UTF-8). On failure answers false and puts a one-line reason
    // into *error.
    bool Open(const std::string& path, std::string* error);
    // The address of an exported symbol, or null.
    void* Symbol(const char* name) const noexcept;
    bool IsOpen() const noexcept { return mpHandle != nullptr; }
    // Unloads the library; anything taken from it is invalid afterwards.
    void Close() noexcept;
    // Leaves the library mapped when the object goes (for plug-ins that cannot be unloaded).
    void KeepLoaded() noexcept { mKeepLoaded = true; }

private:
    void* mpHandle = nullptr;
    bool mKeepLoaded = false;
};

// Removes line breaks from a system message so every error stays on one line.
std::string OneLine(std::string text);

} // namespace orxhost
