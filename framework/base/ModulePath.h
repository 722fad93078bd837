#pragma once
// Where this code was loaded from: the plug-in library (or the program, when linked into one).
// The configuration file lives beside the library, so the product asks for its folder.

#include <string>

namespace orx
{

// The platform's handle of the module: the HINSTANCE on Windows, the load address elsewhere.
void* ModuleHandle() noexcept;

// Full path of the module file in UTF-8; empty when the platform cannot tell.
std::string ModuleFilePath();

// The folder of ModuleFilePath with its trailing separator; empty when unknown.
std::string ModuleFolder();

} // namespace orx
