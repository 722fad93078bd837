#pragma once
// A colour of 0..255 per channel, packed into a pixel as alpha << 24 | red << 16 | green << 8 |
// blue.

#include <cstdint>

struct IColorARGB
{
    int mA = 255;
    int mR = 0;
    int mG = 0;
    int mB = 0;

    IColorARGB() = default;
    IColorARGB(int a, int r, int g, int b) : mA(a), mR(r), mG(g), mB(b) {}

    bool operator==(const IColorARGB&) const = default;

    std::uint32_t Packed() const noexcept
    {
        return std::uint32_t(mA & 0xFF) << 24 | std::uint32_t(mR & 0xFF) << 16 |
               std::uint32_t(mG & 0xFF) << 8 | std::uint32_t(mB & 0xFF);
    }

    static IColorARGB FromPacked(std::uint32_t p) noexcept
    {
        return {int(p >> 24), int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)};
    }
};
