#include "ITextStyle.h"

#include "TextRenderer.h"
#include "ThreadRole.h"

#include <cstring>

ITextStyle::ITextStyle(const char* font, int size, const IColorARGB& color, int style, int align,
                       int orientation)
    : mSize(size), mColor(color), mStyle(style), mAlign(align), mOrientation(orientation)
{
    ORX_MAIN_THREAD();
    if (font)
        std::strncpy(mFont, font, kFontNameSize - 1);
    MakeFont();
}

ITextStyle::ITextStyle(const ITextStyle& other)
    : mSize(other.mSize), mColor(other.mColor), mStyle(other.mStyle), mAlign(other.mAlign),
      mOrientation(other.mOrientation)
{
    std::memcpy(mFont, other.mFont, sizeof(mFont));
    MakeFont();
}

ITextStyle& ITextStyle::operator=(const ITextStyle& other)
{
    if (this != &other)
    {
        std::memcpy(mFont, other.mFont, sizeof(mFont));
        mSize = other.mSize;
        mColor = other.mColor;
        mStyle = other.mStyle;
        mAlign = other.mAlign;
        mOrientation = other.mOrientation;
        MakeFont();
    }
    return *this;
}

ITextStyle::~ITextStyle() = default;

bool ITextStyle::MakeFont() noexcept
{
    // Every constructor and assignment makes its font here: one check covers them.
    ORX_MAIN_THREAD();
    mpFont.reset();
    mpFont = CreateTextFont(*this);
    return mpFont != nullptr;
}

void ITextStyle::ReleaseFont() noexcept
{
    ORX_MAIN_THREAD();
    mpFont.reset();
}
