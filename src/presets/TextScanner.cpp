#include "TextScanner.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <string_view>

void TextScanner::SkipSpace()
{
    while (IsScanSpace(Peek()))
        ++mPos;
}

bool TextScanner::Literal(const char* text)
{
    for (; *text; ++text)
    {
        if (IsScanSpace(static_cast<unsigned char>(*text)))
        {
            SkipSpace();
            continue;
        }
        if (Peek() != static_cast<unsigned char>(*text))
            return false;
        ++mPos;
    }
    return true;
}

bool TextScanner::Int(int& value)
{
    SkipSpace();
    size_t p = mPos;
    bool negative = false;
    if (p < mSize && (mData[p] == '+' || mData[p] == '-'))
        negative = mData[p++] == '-';
    const size_t digits = p;
    long long v = 0;
    for (; p < mSize && mData[p] >= '0' && mData[p] <= '9'; ++p)
        if (v <= INT_MAX)
            v = v * 10 + (mData[p] - '0');
    if (p == digits)
        return false;
    if (negative)
        v = -v;
    value = v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : static_cast<int>(v));
    mPos = p;
    return true;
}

bool TextScanner::Double(double& value)
{
    SkipSpace();
    size_t p = mPos;
    // from_chars takes no leading plus sign; the C library does.
    if (p < mSize && mData[p] == '+' && p + 1 < mSize && mData[p + 1] != '-')
        ++p;
    double v = 0.0;
    const auto result = std::from_chars(mData + p, mData + mSize, v);
    if (result.ec == std::errc::invalid_argument)
        return false;
    // Out of range still consumes the number, as strtod does: too small reads as zero, too
    // large as infinity.
    if (result.ec == std::errc::result_out_of_range)
    {
        const std::string_view text(mData + p, static_cast<size_t>(result.ptr - (mData + p)));
        const size_t e = text.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-';
        const bool negative = !text.empty() && text[0] == '-';
        v = tiny ? 0.0 : HUGE_VAL;
        if (negative)
            v = -v;
    }
    value = v;
    mPos = static_cast<size_t>(result.ptr - mData);
    return true;
}

bool TextScanner::Word(std::string& value)
{
    SkipSpace();
    const size_t start = mPos;
    while (Peek() >= 0 && !IsScanSpace(Peek()))
        ++mPos;
    if (mPos == start)
        return false;
    value.assign(mData + start, mPos - start);
    return true;
}
