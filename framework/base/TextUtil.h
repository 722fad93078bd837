#pragma once
// Bounded text copies and number conversions shared by the plug-in base and the binding: every
// text that crosses a record or host boundary goes through these, so none can overrun.

#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

namespace orx
{

// Copies src into dst (size bytes, NUL included), cutting it if needed; null src copies "".
inline void CopyText(char* dst, std::size_t size, const char* src) noexcept
{
    if (!dst || size == 0)
        return;
    std::size_t n = 0;
    if (src)
        while (n + 1 < size && src[n])
        {
            dst[n] = src[n];
            ++n;
        }
    dst[n] = '\0';
}

// Truncation toward zero that saturates at the int range; not a number gives 0.
inline int TruncateToInt(double v) noexcept
{
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// An integer handed over as a pointer-sized value, clamped into the int range.
inline int ClampToInt(long long v) noexcept
{
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// A four-character code such as the unique id "dhOx", first character in the top byte.
constexpr int FourCC(const char (&code)[5]) noexcept
{
    return static_cast<int>((static_cast<unsigned>(static_cast<unsigned char>(code[0])) << 24) |
                            (static_cast<unsigned>(static_cast<unsigned char>(code[1])) << 16) |
                            (static_cast<unsigned>(static_cast<unsigned char>(code[2])) << 8) |
                            static_cast<unsigned>(static_cast<unsigned char>(code[3])));
}

} // namespace orx
