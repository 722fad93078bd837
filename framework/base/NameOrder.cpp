#include "NameOrder.h"

#include <cstddef>

namespace orx
{

namespace
{
bool IsDigit(char c) noexcept
{
    return c >= '0' && c <= '9';
}

unsigned char Folded(char c) noexcept
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// The run of digits of s at i, without its leading zeros; i moves past the run.
std::string_view DigitRun(std::string_view s, std::size_t& i) noexcept
{
    std::size_t start = i;
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    while (start + 1 < i && s[start] == '0')
        ++start;
    return s.substr(start, i - start);
}

// Each name is read as a sequence of tokens: a run of digits counts as one token that sorts
// where the digit '0' would, ordered among runs by value; any other byte is a token of its
// own, letters folded to lower case. Since no other byte lies between '0' and '9', the
// tokens are totally ordered.
int CompareFolded(std::string_view a, std::string_view b) noexcept
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size())
    {
        if (IsDigit(a[i]) && IsDigit(b[j]))
        {
            const std::string_view x = DigitRun(a, i), y = DigitRun(b, j);
            if (x.size() != y.size())
                return x.size() < y.size() ? -1 : 1;
            if (const int c = x.compare(y); c != 0)
                return c;
            continue;
        }
        const unsigned char x = IsDigit(a[i]) ? '0' : Folded(a[i]);
        const unsigned char y = IsDigit(b[j]) ? '0' : Folded(b[j]);
        if (x != y)
            return x < y ? -1 : 1;
        // The same byte but for case (a digit here never meets a digit).
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return 0;
}
} // namespace

int CompareNames(std::string_view a, std::string_view b) noexcept
{
    if (const int c = CompareFolded(a, b); c != 0)
        return c;
    // Equal but for case or leading zeros: the bytes decide.
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

} // namespace orx
