#include "NumberParse.h"

#include <limits>

namespace orxrender
{
namespace
{

constexpr int kMaxDigits = 15;   // below 2^53: the mantissa is an exact double
constexpr int kMaxDecimals = 22; // 10^22 is the largest power of ten that is an exact double

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<double> ParseDecimal(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
    {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    uint64_t mantissa = 0;
    int significant = 0;
    int decimals = 0;
    int digits = 0;
    bool point = false;
    for (char c : text)
    {
        if (c == '.' && !point)
        {
            point = true;
            continue;
        }
        if (!IsDigit(c))
            return std::nullopt;
        ++digits;
        if (point)
            ++decimals;
        if (mantissa == 0 && c == '0')
            continue; // leading zeros carry no precision
        if (++significant > kMaxDigits)
            return std::nullopt;
        mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
    }
    if (digits == 0 || decimals > kMaxDecimals)
        return std::nullopt;
    double scale = 1.0;
    for (int i = 0; i < decimals; ++i)
        scale *= 10.0; // exact up to 10^22
    const double value = static_cast<double>(mantissa) / scale;
    return negative ? -value : value;
}

std::optional<uint64_t> ParseUnsigned(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (char c : text)
    {
        if (!IsDigit(c))
            return std::nullopt;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (value > (std::numeric_limits<uint64_t>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<int64_t> ParseInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && text.front() == '-')
    {
        negative = true;
        text.remove_prefix(1);
    }
    else if (!text.empty() && text.front() == '+')
    {
        text.remove_prefix(1);
    }
    if (text.empty() || !IsDigit(text.front()))
        return std::nullopt;
    const std::optional<uint64_t> magnitude = ParseUnsigned(text);
    constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (!magnitude || *magnitude > kMax + (negative ? 1 : 0))
        return std::nullopt;
    if (negative)
        return *magnitude == kMax + 1 ? std::numeric_limits<int64_t>::min()
                                      : -static_cast<int64_t>(*magnitude);
    return static_cast<int64_t>(*magnitude);
}

int FormatInteger(int64_t value, char* out)
{
    char reversed[21];
    int n = 0;
    // Works on the magnitude as unsigned, so the most negative value needs no special case.
    uint64_t magnitude =
        value < 0 ? ~static_cast<uint64_t>(value) + 1 : static_cast<uint64_t>(value);
    do
    {
        reversed[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int length = 0;
    if (value < 0)
        out[length++] = '-';
    while (n > 0)
        out[length++] = reversed[--n];
    out[length] = '\0';
    return length;
}

} // namespace orxrender
