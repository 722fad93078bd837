// Text with GDI, drawn into the surface's device context (the DIB section of LICE_SysBitmap).
// The style's size is the font's cell height, as a positive GDI height. GDI batches its calls:
// they are flushed before the bitmap library touches the pixels again.

#include "TextRenderer.h"

#include "LICE_IBitmap.h"
#include "ThreadRole.h"
#include "Utf8Text.h"
#include "Win32Handle.h"

#include <windows.h>
#undef DrawText

#include <new>

namespace
{

using orx::win32::OwnedFont;
using orx::win32::OwnedMemoryDc;

class GdiFont final : public TextFont
{
public:
    explicit GdiFont(HFONT font) : mFont(font) {}

    int LineWidth(const char* text, int length) const noexcept override
    {
        const std::wstring wide = orx::Utf8ToWide(std::string(text, length > 0 ? length : 0));
        OwnedMemoryDc dc(CreateCompatibleDC(nullptr));
        if (!dc || wide.empty())
            return 0;
        const HGDIOBJ previous = SelectObject(dc.get(), mFont.get());
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
        SelectObject(dc.get(), previous);
        return size.cx;
    }

    HFONT Handle() const noexcept { return mFont.get(); }

private:
    OwnedFont mFont;
};

} // namespace

std::unique_ptr<TextFont> CreateTextFont(const ITextStyle& style) noexcept
{
    ORX_MAIN_THREAD();
    const std::wstring face = orx::Utf8ToWide(style.mFont);
    LOGFONTW lf{};
    lf.lfHeight = style.mSize != 0 ? style.mSize : 12;
    lf.lfEscapement = style.mOrientation * 10;
    lf.lfOrientation = style.mOrientation * 10;
    lf.lfWeight = style.mStyle == ITextStyle::kStyleBold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style.mStyle == ITextStyle::kStyleItalic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    lstrcpynW(lf.lfFaceName, face.empty() ? L"Arial" : face.c_str(), LF_FACESIZE);
    OwnedFont font(CreateFontIndirectW(&lf));
    if (!font)
        return nullptr;
    auto* made = new (std::nothrow) GdiFont(font.get());
    if (!made)
        return nullptr;
    font.release(); // now counted by the font object's own owner
    return std::unique_ptr<TextFont>(made);
}

bool DrawTextOnSurface(LICE_IBitmap& surface, const ITextStyle& style, const char* text,
                       const IRect& rect, const IRect* clip) noexcept
{
    ORX_MAIN_THREAD();
    if (!text || !*text)
        return true;
    const auto* font = static_cast<const GdiFont*>(style.Font());
    const auto dc = static_cast<HDC>(surface.getDC());
    if (!font || !dc)
        return false;
    const std::wstring wide = orx::Utf8ToWide(text);
    if (wide.empty())
        return false;
    UINT format = DT_NOCLIP | DT_NOPREFIX;
    if (style.mAlign == ITextStyle::kAlignCenter)
        format |= DT_CENTER;
    else if (style.mAlign == ITextStyle::kAlignFar)
        format |= DT_RIGHT;
    else
        format |= DT_LEFT;
    GdiFlush(); // what the bitmap library wrote must be in place under the text
    // The clip, font and colours are the device context's own state: set for this text only.
    const int saved = SaveDC(dc);
    if (saved == 0)
        return false;
    if (clip)
        IntersectClipRect(dc, clip->mL, clip->mT, clip->mR, clip->mB);
    SelectObject(dc, font->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(style.mColor.mR & 0xFF, style.mColor.mG & 0xFF, style.mColor.mB & 0xFF));
    RECT r{rect.mL, rect.mT, rect.mR, rect.mB};
    const int drawn = DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, format);
    RestoreDC(dc, saved);
    GdiFlush();
    return drawn != 0;
}
