// Any bytes handed to the PNG decoder: it answers an image or nothing, never more.
#include "LICE_PngRead.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (auto bitmap = LICE::LoadPngFromMemory(data, size))
    {
        // Touch every pixel so that a wrong size would show as an invalid read.
        volatile LICE_pixel sum = 0;
        for (int y = 0; y < bitmap->getHeight(); ++y)
            for (int x = 0; x < bitmap->getWidth(); ++x)
                sum = sum + bitmap->getBits()[y * bitmap->getRowSpan() + x];
    }
    LICE_MemBitmap given(3, 3);
    LICE::LoadPngFromMemory(data, size, given);
    return 0;
}
