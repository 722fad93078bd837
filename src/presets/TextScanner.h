#pragma once
// Matches scanf-style patterns against text held in memory, with the same consumption rules
// as the C library's formatted input: white space in a pattern matches any run of white space
// (none included), a literal character must match or the match stops without consuming it,
// and each conversion skips leading white space. Numbers are read independently of the
// process's locale, which a host may have changed.

#include <cstddef>
#include <string>

class TextScanner
{
public:
    TextScanner(const char* data, size_t size) : mData(data), mSize(size) {}

    bool AtEnd() const { return mPos >= mSize; }
    size_t Position() const { return mPos; }

    // White space directive.
    void SkipSpace();
    // Literal text: each white-space character matches any run of white space, every other
    // character must match exactly. False at the first mismatch; what matched stays consumed.
    bool Literal(const char* text);
    // Conversions. On failure only the leading white space is consumed. Integers saturate at the
    // limits of int; a word is any run of non-white-space characters, kept whole.
    bool Int(int& value);
    bool Double(double& value);
    bool Word(std::string& value);

private:
    int Peek() const { return mPos < mSize ? static_cast<unsigned char>(mData[mPos]) : -1; }

    const char* mData;
    size_t mSize;
    size_t mPos = 0;
};

// White space as the C library's isspace sees it in the "C" locale.
inline bool IsScanSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
