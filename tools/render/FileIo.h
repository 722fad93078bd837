#pragma once
// Whole files in and out, with one-line reasons on failure.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orxrender
{

// Writes size bytes to path; false with a reason in error.
bool WriteWholeFile(const std::string& path, const void* data, std::size_t size,
                    std::string& error);

// Reads all of path into bytes; false with a reason when it is missing, unreadable or larger
// than maxBytes.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::size_t maxBytes,
                   std::string& error);

} // namespace orxrender
