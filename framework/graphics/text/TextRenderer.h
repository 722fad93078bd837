#pragma once
// The text seam: how a text style becomes a font object and how a text is drawn into the
// editor's surface. One implementation per platform, chosen by CMake:
//   TextRenderer_freetype.cpp  FreeType with Liberation Sans (metric-compatible with Arial) or
//                              DejaVu Sans; for the headless and X11 window layers.
//   TextRenderer_gdi.cpp       (Windows) a GDI font selected into the surface's device context.
//
// Rules every implementation keeps, so the editor looks the same everywhere:
// - the style's size is the height of a line (ascent + descent of the font), as a GDI font of
//   that positive height;
// - each line starts at the top of the rectangle; lines break at '\n' (a '\r' before it is
//   dropped); each line is aligned left, centred ((left + right - width) / 2) or right;
// - nothing is clipped to the rectangle, only to the clip rectangle given (the whole surface
//   without one); inside it every pixel is what the unclipped text would leave there;
// - only red, green and blue of the style's colour are used: glyph coverage blends the colour
//   over what lies beneath; the orientation turns the text counter-clockwise about the start
//   of its first line.

#include "IRect.h"
#include "ITextStyle.h"

#include <memory>

class LICE_IBitmap;

// A platform font object, owned by its ITextStyle.
class TextFont
{
public:
    virtual ~TextFont() = default;
    // Width in pixels of one line of text (no line breaks).
    virtual int LineWidth(const char* text, int length) const noexcept = 0;
};

// [main-thread] A font for the style's name, size, style and orientation; null when none can be
// had.
std::unique_ptr<TextFont> CreateTextFont(const ITextStyle& style) noexcept;

// [main-thread] Draws text with the style's font and colour into surface at rect, writing only
// the pixels inside clip when one is given. False when nothing could be drawn (no font, no
// surface); an empty text answers true.
bool DrawTextOnSurface(LICE_IBitmap& surface, const ITextStyle& style, const char* text,
                       const IRect& rect, const IRect* clip = nullptr) noexcept;
