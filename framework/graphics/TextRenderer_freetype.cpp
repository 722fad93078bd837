// Text with FreeType into the surface's memory, for the window layers that have no GDI. The
// editor asks for "Arial"; Liberation Sans has the same metrics, and DejaVu Sans stands in
// when it is missing. Fonts are read once per process; each font object has its own face.

#include "TextRenderer.h"

#include "LICE_IBitmap.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace
{

constexpr double kPi = 3.141592653589793;

// Regular, bold and italic, best first.
const char* const kFontFiles[3][2] = {
    {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
     "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
    {"/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
     "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"},
    {"/usr/share/fonts/truetype/liberation2/LiberationSans-Italic.ttf",
     "/usr/share/fonts/truetype/dejavu/DejaVuSans-Oblique.ttf"},
};

// The library and the font files, shared by every font object. FreeType wants face creation
// and release serialised per library.
struct FontStore
{
    std::mutex mMutex;
    FT_Library mLibrary = nullptr;
    bool mTried = false;
    std::map<std::string, std::vector<unsigned char>> mFiles;
};

FontStore& Store()
{
    // Never destroyed: faces may be released during static destruction.
    static FontStore* store = new FontStore;
    return *store;
}

const std::vector<unsigned char>* ReadFontFile(FontStore& store, const char* path)
{
    auto it = store.mFiles.find(path);
    if (it != store.mFiles.end())
        return it->second.empty() ? nullptr : &it->second;
    std::vector<unsigned char> bytes;
    if (std::FILE* f = std::fopen(path, "rb"))
    {
        unsigned char buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
            bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    auto& kept = store.mFiles[path] = std::move(bytes);
    return kept.empty() ? nullptr : &kept;
}

class FreeTypeFont final : public TextFont
{
public:
    FreeTypeFont(FT_Face face, int lineHeight, int ascent, double angle)
        : mFace(face), mLineHeight(lineHeight), mAscent(ascent), mAngle(angle)
    {
    }

    ~FreeTypeFont() override
    {
        FontStore& store = Store();
        std::lock_guard<std::mutex> lock(store.mMutex);
        FT_Done_Face(mFace);
    }

    int LineWidth(const char* text, int length) const noexcept override;

    FT_Face mFace;
    int mLineHeight;
    int mAscent;
    double mAngle; // radians, counter-clockwise
};

// The next code point of UTF-8 text; a malformed byte stands for itself.
unsigned NextCodePoint(const char*& p, const char* end)
{
    const auto b0 = static_cast<unsigned char>(*p++);
    if (b0 < 0x80)
        return b0;
    const int extra = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC0 ? 1 : 0;
    if (extra == 0 || end - p < extra)
        return b0;
    unsigned cp = b0 & (0x3F >> extra);
    for (int i = 0; i < extra; ++i)
    {
        const auto b = static_cast<unsigned char>(p[i]);
        if ((b & 0xC0) != 0x80)
            return b0;
        cp = cp << 6 | (b & 0x3F);
    }
    p += extra;
    return cp;
}

int FreeTypeFont::LineWidth(const char* text, int length) const noexcept
{
    FT_Set_Transform(mFace, nullptr, nullptr);
    long width = 0;
    const char* p = text;
    const char* end = text + length;
    while (p < end)
    {
        const unsigned cp = NextCodePoint(p, end);
        if (FT_Load_Char(mFace, cp, FT_LOAD_DEFAULT) == 0)
            width += mFace->glyph->advance.x;
    }
    return static_cast<int>((width + 32) >> 6);
}

// Coverage blended over the surface: colour in, alpha toward opaque.
void BlendGlyph(LICE_IBitmap& surface, const FT_Bitmap& glyph, int left, int top, int r, int g,
                int b)
{
    LICE_pixel* bits = surface.getBits();
    const int w = surface.getWidth();
    const int h = surface.getHeight();
    const int span = surface.getRowSpan();
    for (unsigned row = 0; row < glyph.rows; ++row)
    {
        const int y = top + static_cast<int>(row);
        if (y < 0 || y >= h)
            continue;
        const unsigned char* src = glyph.buffer + static_cast<long>(row) * glyph.pitch;
        LICE_pixel* dst = bits + static_cast<long>(y) * span;
        for (unsigned col = 0; col < glyph.width; ++col)
        {
            const int x = left + static_cast<int>(col);
            const int c = src[col];
            if (c == 0 || x < 0 || x >= w)
                continue;
            const LICE_pixel d = dst[x];
            auto mix = [c](int dv, int sv) { return dv + (sv - dv) * c / 255; };
            const int db = int(d & 0xFF), dg = int((d >> 8) & 0xFF), dr = int((d >> 16) & 0xFF);
            const int da = int(d >> 24);
            dst[x] = LICE_pixel(mix(da, 255)) << 24 | LICE_pixel(mix(dr, r)) << 16 |
                     LICE_pixel(mix(dg, g)) << 8 | LICE_pixel(mix(db, b));
        }
    }
}

} // namespace

std::unique_ptr<TextFont> CreateTextFont(const ITextStyle& style) noexcept
{
    FontStore& store = Store();
    std::lock_guard<std::mutex> lock(store.mMutex);
    if (!store.mLibrary)
    {
        if (store.mTried)
            return nullptr;
        store.mTried = true;
        if (FT_Init_FreeType(&store.mLibrary) != 0)
            return nullptr;
    }
    const int kind = (style.mStyle == ITextStyle::kStyleBold)     ? 1
                     : (style.mStyle == ITextStyle::kStyleItalic) ? 2
                                                                  : 0;
    FT_Face face = nullptr;
    try
    {
        for (const char* path : kFontFiles[kind])
        {
            const std::vector<unsigned char>* bytes = ReadFontFile(store, path);
            if (bytes && FT_New_Memory_Face(store.mLibrary, bytes->data(),
                                            static_cast<FT_Long>(bytes->size()), 0, &face) == 0)
                break;
            face = nullptr;
        }
    }
    catch (...)
    {
        face = nullptr;
    }
    if (!face)
        return nullptr;

    // A positive size is the line height (ascent + descent), as for a GDI font; a negative one
    // the em size.
    const int size = style.mSize != 0 ? style.mSize : 12;
    const double units = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    double ascentUnits = face->ascender;
    double cellUnits = face->ascender - face->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)))
    {
        if (os2->usWinAscent + os2->usWinDescent > 0)
        {
            ascentUnits = os2->usWinAscent;
            cellUnits = os2->usWinAscent + os2->usWinDescent;
        }
    }
    if (cellUnits <= 0)
        cellUnits = units;
    const double em = size > 0 ? size * units / cellUnits : -size;
    const int lineHeight =
        size > 0 ? size : static_cast<int>(std::lround(-size * cellUnits / units));
    const int ascent = static_cast<int>(std::lround(em * ascentUnits / units));
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(em * 64.0)), 72, 72) != 0)
    {
        FT_Done_Face(face);
        return nullptr;
    }
    try
    {
        return std::make_unique<FreeTypeFont>(face, lineHeight, ascent,
                                              style.mOrientation * kPi / 180.0);
    }
    catch (...)
    {
        FT_Done_Face(face);
        return nullptr;
    }
}

bool DrawTextOnSurface(LICE_IBitmap& surface, const ITextStyle& style, const char* text,
                       const IRect& rect) noexcept
{
    if (!text || !*text)
        return true;
    const auto* font = static_cast<const FreeTypeFont*>(style.Font());
    if (!font || !surface.getBits())
        return false;
    FT_Face face = font->mFace;
    const double cs = std::cos(font->mAngle);
    const double sn = std::sin(font->mAngle);
    FT_Matrix m;
    m.xx = static_cast<FT_Fixed>(std::lround(cs * 65536.0));
    m.xy = static_cast<FT_Fixed>(std::lround(-sn * 65536.0));
    m.yx = static_cast<FT_Fixed>(std::lround(sn * 65536.0));
    m.yy = m.xx;
    const int r = style.mColor.mR & 0xFF, g = style.mColor.mG & 0xFF, b = style.mColor.mB & 0xFF;

    const char* line = text;
    for (int lineNo = 0; *line; ++lineNo)
    {
        const char* stop = line;
        while (*stop && *stop != '\n')
            ++stop;
        int length = static_cast<int>(stop - line);
        if (length > 0 && line[length - 1] == '\r')
            --length;
        const int width = font->LineWidth(line, length);
        int x = rect.mL;
        if (style.mAlign == ITextStyle::kAlignCenter)
            x = (rect.mL + rect.mR - width) / 2;
        else if (style.mAlign == ITextStyle::kAlignFar)
            x = rect.mR - width;
        // The line's origin (on its baseline) relative to the rectangle's corner, turned with
        // the text about that corner; y grows downwards on the surface.
        const double ox = x - rect.mL;
        const double oy = lineNo * font->mLineHeight + font->mAscent;
        const long originX = rect.mL + std::lround(ox * cs + oy * sn);
        const long originY = rect.mT + std::lround(-ox * sn + oy * cs);

        FT_Vector pen = {0, 0}; // 26.6, y up
        const char* p = line;
        const char* end = line + length;
        while (p < end)
        {
            const unsigned cp = NextCodePoint(p, end);
            FT_Set_Transform(face, &m, &pen);
            if (FT_Load_Char(face, cp, FT_LOAD_RENDER) != 0)
                continue;
            const FT_GlyphSlot slot = face->glyph;
            BlendGlyph(surface, slot->bitmap, static_cast<int>(originX + slot->bitmap_left),
                       static_cast<int>(originY - slot->bitmap_top), r, g, b);
            pen.x += slot->advance.x;
            pen.y += slot->advance.y;
        }
        line = *stop ? stop + 1 : stop;
    }
    FT_Set_Transform(face, nullptr, nullptr);
    return true;
}
