#pragma once

#include <string>
// The folder of the plug-in library itself, where the configuration file lives.

inline constexpr int kHomePathSize = 1025; // 1024 characters and the terminator
inline constexpr const char* kConfigurationFileName = "Orlantix.ini";

// Cuts modulePath (at most 1024 characters) at its last path separator into pathname, which
// holds kHomePathSize characters; a name without a separator stays whole. False, with
// pathname empty, when there is no module path or it is too long.
bool HomeDirectoryFromModulePath(const char* modulePath, char* pathname);

// The home directory of this library.
bool HomeDirectory(char* pathname);

// Home directory, separator, "Orlantix.ini" into path (kHomePathSize characters); empty when the
// home directory is unknown or the whole path would exceed 1024 characters.
void ConfigurationFilePath(const char* homeDirectory, char* path);
void ConfigurationFilePath(char* path);

// A path as the configuration file gives it: a relative one is taken relative to the home
// directory (the host's current folder means nothing to a plug-in); empty and absolute paths
// stay as they are.
std::string ResolveBesideLibrary(const std::string& path, const char* homeDirectory);
std::string ResolveBesideLibrary(const std::string& path);
