#pragma once
// PNG encoding (libpng) of any bitmap: 8 bits per channel, RGBA, or RGB when the alpha bytes
// mean nothing (a painted surface). The output depends only on the pixels and the choice.

#include "LICE_IBitmap.h"

#include <vector>

namespace LICE
{

// False for an empty bitmap or an encoding error.
bool WritePngToMemory(const LICE_IBitmap& bitmap, bool withAlpha, std::vector<unsigned char>& out);
bool WritePngFile(const char* fileName, const LICE_IBitmap& bitmap, bool withAlpha);

} // namespace LICE
