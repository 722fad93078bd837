// Text with FreeType into the surface's memory, for the window layers that have no GDI. The
// editor asks for "Arial"; Liberation Sans has the same metrics, and DejaVu Sans stands in
// when it is missing. Fonts are read once per process; each font object has its own face.

#include "TextRenderer.h"

#include "LICE_Fill.h"
#include "LICE_IBitmap.h"
#include "ThreadRole.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
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
    FT_Library mLibrary = nullptr;
    bool mTried = false;
    std::map<std::string, std::vector<unsigned char>> mFiles;
    int mFonts = 0; // font objects alive: their faces live in mLibrary and mFiles

    ~FontStore()
    {
        if (mLibrary)
            FT_Done_FreeType(mLibrary);
    }
};

// The lock has a trivial destructor, so it still works while statics are destroyed.
std::mutex gStoreMutex;
FontStore* gpStore = nullptr;
bool gUnloading = false;

// Under gStoreMutex.
FontStore& Store()
{
    if (!gpStore)
        gpStore = new FontStore;
    return *gpStore;
}

// The store goes with the library (a host unloads a plug-in library and may load it again), or,
// when a font object is still alive then, with the last one.
struct UnloadRelease
{
    ~UnloadRelease()
    {
        std::lock_guard<std::mutex> lock(gStoreMutex);
        gUnloading = true;
        if (gpStore && gpStore->mFonts == 0)
        {
            delete gpStore;
            gpStore = nullptr;
        }
    }
} gUnloadRelease;

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

// A glyph as FreeType rendered it for unturned text at a whole-pixel pen position: its
// coverage, where it sits relative to the pen, and how far it moves the pen (26.6).
struct CachedGlyph
{
    bool mLoaded = false;
    int mLeft = 0;
    int mTop = 0;
    FT_Bitmap mBitmap{};
    std::vector<unsigned char> mCoverage;
    long mAdvanceX = 0;
};

class FreeTypeFont final : public TextFont
{
public:
    // Under gStoreMutex.
    FreeTypeFont(FT_Face face, int lineHeight, int ascent, double angle)
        : mFace(face), mLineHeight(lineHeight), mAscent(ascent), mAngle(angle)
    {
        ++Store().mFonts;
    }

    ~FreeTypeFont() override
    {
        std::lock_guard<std::mutex> lock(gStoreMutex);
        FT_Done_Face(mFace);
        if (--Store().mFonts == 0 && gUnloading)
        {
            delete gpStore;
            gpStore = nullptr;
        }
    }

    int LineWidth(const char* text, int length) const noexcept override;
    // Unturned text only: the glyph of cp, rendered once per font object (hinted advances are
    // whole pixels, so the same coverage serves every pen position); null when it cannot be
    // had.
    const CachedGlyph* Glyph(unsigned cp) const noexcept;

    FT_Face mFace;
    int mLineHeight;
    int mAscent;
    double mAngle; // radians, counter-clockwise

private:
    mutable std::map<unsigned, CachedGlyph> mGlyphs;
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

const CachedGlyph* FreeTypeFont::Glyph(unsigned cp) const noexcept
{
    try
    {
        auto [it, added] = mGlyphs.try_emplace(cp);
        CachedGlyph& glyph = it->second;
        if (added)
        {
            FT_Set_Transform(mFace, nullptr, nullptr);
            if (FT_Load_Char(mFace, cp, FT_LOAD_RENDER) == 0 && mFace->glyph->advance.x % 64 == 0 &&
                mFace->glyph->advance.y == 0)
            {
                const FT_GlyphSlot slot = mFace->glyph;
                const FT_Bitmap& b = slot->bitmap;
                const int pitch = b.pitch < 0 ? -b.pitch : b.pitch;
                glyph.mCoverage.assign(b.buffer, b.buffer + static_cast<long>(pitch) * b.rows);
                glyph.mBitmap = b;
                glyph.mBitmap.pitch = pitch;
                glyph.mBitmap.buffer = glyph.mCoverage.data();
                glyph.mLeft = slot->bitmap_left;
                glyph.mTop = slot->bitmap_top;
                glyph.mAdvanceX = slot->advance.x;
                glyph.mLoaded = true;
            }
        }
        return glyph.mLoaded ? &glyph : nullptr;
    }
    catch (...)
    {
        return nullptr;
    }
}

int FreeTypeFont::LineWidth(const char* text, int length) const noexcept
{
    long width = 0;
    bool transformReset = false;
    const char* p = text;
    const char* end = text + length;
    while (p < end)
    {
        const unsigned cp = NextCodePoint(p, end);
        if (const CachedGlyph* glyph = mAngle == 0.0 ? Glyph(cp) : nullptr)
        {
            width += glyph->mAdvanceX;
            continue;
        }
        if (!transformReset)
        {
            FT_Set_Transform(mFace, nullptr, nullptr);
            transformReset = true;
        }
        if (FT_Load_Char(mFace, cp, FT_LOAD_DEFAULT) == 0)
            width += mFace->glyph->advance.x;
    }
    return static_cast<int>((width + 32) >> 6);
}

// Coverage blended over the surface where it falls inside clip: colour in, alpha toward opaque.
void BlendGlyph(LICE_IBitmap& surface, const FT_Bitmap& glyph, long left, long top,
                LICE_pixel colour, const IRect& clip)
{
    const long x0 = std::max<long>(left, clip.mL);
    const long y0 = std::max<long>(top, clip.mT);
    const long x1 = std::min<long>(left + static_cast<long>(glyph.width), clip.mR);
    const long y1 = std::min<long>(top + static_cast<long>(glyph.rows), clip.mB);
    if (x1 <= x0 || y1 <= y0 || !glyph.buffer)
        return;
    const unsigned char* coverage = glyph.buffer + (y0 - top) * glyph.pitch + (x0 - left);
    LICE::BlendCoverage(&surface, static_cast<int>(x0), static_cast<int>(y0), coverage, glyph.pitch,
                        static_cast<int>(x1 - x0), static_cast<int>(y1 - y0), colour);
}

} // namespace

std::unique_ptr<TextFont> CreateTextFont(const ITextStyle& style) noexcept
{
    ORX_MAIN_THREAD();
    std::lock_guard<std::mutex> lock(gStoreMutex);
    FontStore& store = Store();
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
                       const IRect& rect, const IRect* clip) noexcept
{
    ORX_MAIN_THREAD();
    if (!text || !*text)
        return true;
    const auto* font = static_cast<const FreeTypeFont*>(style.Font());
    if (!font || !surface.getBits())
        return false;
    const IRect whole(0, 0, surface.getWidth(), surface.getHeight());
    const IRect& area = clip ? *clip : whole;
    FT_Face face = font->mFace;
    // Unturned text, nearly all of it, needs no trigonometry: its origins are whole pixels.
    const bool turned = font->mAngle != 0.0;
    const double cs = turned ? std::cos(font->mAngle) : 1.0;
    const double sn = turned ? std::sin(font->mAngle) : 0.0;
    FT_Matrix m;
    m.xx = turned ? static_cast<FT_Fixed>(std::lround(cs * 65536.0)) : 65536;
    m.xy = turned ? static_cast<FT_Fixed>(std::lround(-sn * 65536.0)) : 0;
    m.yx = turned ? static_cast<FT_Fixed>(std::lround(sn * 65536.0)) : 0;
    m.yy = m.xx;
    const LICE_pixel colour = LICE_pixel(style.mColor.mR & 0xFF) << 16 |
                              LICE_pixel(style.mColor.mG & 0xFF) << 8 |
                              LICE_pixel(style.mColor.mB & 0xFF);
    bool transformed = false; // FreeType's transform set for this text, reset at the end

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
        const int oy = lineNo * font->mLineHeight + font->mAscent;
        long originX = x;
        long originY = rect.mT + oy;
        if (turned)
        {
            const double ox = x - rect.mL;
            originX = rect.mL + std::lround(ox * cs + oy * sn);
            originY = rect.mT + std::lround(-ox * sn + oy * cs);
        }

        FT_Vector pen = {0, 0}; // 26.6, y up
        const char* p = line;
        const char* end = line + length;
        while (p < end)
        {
            const unsigned cp = NextCodePoint(p, end);
            if (!turned && pen.x % 64 == 0 && pen.y == 0)
            {
                if (const CachedGlyph* glyph = font->Glyph(cp))
                {
                    const long penX = pen.x / 64;
                    BlendGlyph(surface, glyph->mBitmap, originX + penX + glyph->mLeft,
                               originY - glyph->mTop, colour, area);
                    pen.x += glyph->mAdvanceX;
                    continue;
                }
            }
            FT_Set_Transform(face, &m, &pen);
            transformed = true;
            if (FT_Load_Char(face, cp, FT_LOAD_RENDER) != 0)
                continue;
            const FT_GlyphSlot slot = face->glyph;
            BlendGlyph(surface, slot->bitmap, originX + slot->bitmap_left,
                       originY - slot->bitmap_top, colour, area);
            pen.x += slot->advance.x;
            pen.y += slot->advance.y;
        }
        line = *stop ? stop + 1 : stop;
    }
    if (transformed)
        FT_Set_Transform(face, nullptr, nullptr);
    return true;
}
