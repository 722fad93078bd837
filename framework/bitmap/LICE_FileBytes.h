#pragma once
// Whole files in and out of memory.

#include <cstddef>
#include <vector>

namespace LICE
{

// False when the file cannot be opened or read, or is larger than maxBytes.
bool ReadFileBytes(const char* fileName, std::vector<unsigned char>& out,
                   std::size_t maxBytes = std::size_t{256} << 20);

// False when the file cannot be created or fully written.
bool WriteFileBytes(const char* fileName, const std::vector<unsigned char>& bytes);

} // namespace LICE
