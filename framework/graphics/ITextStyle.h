#pragma once
// How a text is drawn: font name, pixel height, colour, style, alignment and orientation, and
// the font object made from them by the text renderer (see TextRenderer.h). The style owns its
// font object: copying a style makes a new one, and making the font again releases the old one.

#include "IColorARGB.h"

#include <memory>

class TextFont;

struct ITextStyle
{
    enum EStyle
    {
        kStyleNormal = 0,
        kStyleBold = 1,
        kStyleItalic = 2,
    };
    enum EAlign
    {
        kAlignNear = 0,
        kAlignCenter = 1,
        kAlignFar = 2,
    };

    static constexpr int kFontNameSize = 32;

    char mFont[kFontNameSize] = {};
    int mSize = 14; // pixel height of a line
    IColorARGB mColor;
    int mStyle = kStyleNormal;
    int mAlign = kAlignNear;
    int mOrientation = 0; // degrees, counter-clockwise

    // [main-thread] The fields above, and a font object made from them.
    ITextStyle(const char* font = "Arial", int size = 14, const IColorARGB& color = {},
               int style = kStyleNormal, int align = kAlignNear, int orientation = 0);
    ITextStyle(const ITextStyle& other);
    ITextStyle& operator=(const ITextStyle& other);
    ~ITextStyle();

    // [main-thread] Releases the font object and makes a new one from the current fields;
    // false when no font could be had (text in this style then draws nothing).
    bool MakeFont() noexcept;
    // [main-thread] Releases the font object.
    void ReleaseFont() noexcept;
    // Null after ReleaseFont or when no font could be had.
    const TextFont* Font() const noexcept { return mpFont.get(); }

private:
    std::unique_ptr<TextFont> mpFont;
};
