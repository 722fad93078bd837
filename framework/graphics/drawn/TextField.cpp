#include "TextField.h"

#include "LICE_Fill.h"
#include "LICE_IBitmap.h"
#include "LICE_Pixel.h"
#include "TextRenderer.h"

#include <algorithm>

namespace
{
constexpr LICE_pixel kBackground = 0xFFFFFFFFu;
constexpr LICE_pixel kSelection = 0xFF3399FFu;
constexpr int kMargin = 2;

bool Continuation(char c) noexcept
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t PreviousBoundary(const std::string& s, std::size_t i) noexcept
{
    if (i == 0)
        return 0;
    do
        --i;
    while (i > 0 && Continuation(s[i]));
    return i;
}

std::size_t NextBoundary(const std::string& s, std::size_t i) noexcept
{
    if (i >= s.size())
        return s.size();
    do
        ++i;
    while (i < s.size() && Continuation(s[i]));
    return i;
}

int Width(const ITextStyle& style, const std::string& s, std::size_t n) noexcept
{
    const TextFont* font = style.Font();
    return font ? font->LineWidth(s.data(), static_cast<int>(std::min(n, s.size()))) : 0;
}
} // namespace

void TextField::SetText(const std::string& text, bool selectAll)
{
    mText = text;
    mCaret = mText.size();
    mAnchor = selectAll ? 0 : mCaret;
}

void TextField::Type(const std::string& utf8)
{
    std::string clean;
    for (const char c : utf8)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
            clean += c;
    const std::size_t start = SelectionStart();
    mText.replace(start, SelectionEnd() - start, clean);
    mCaret = mAnchor = start + clean.size();
}

void TextField::Key(EKey key, bool shift)
{
    const bool selection = mCaret != mAnchor;
    switch (key)
    {
    case kLeft:
        mCaret = (selection && !shift) ? SelectionStart() : PreviousBoundary(mText, mCaret);
        break;
    case kRight:
        mCaret = (selection && !shift) ? SelectionEnd() : NextBoundary(mText, mCaret);
        break;
    case kHome:
        mCaret = 0;
        break;
    case kEnd:
        mCaret = mText.size();
        break;
    case kBackspace:
    case kDelete:
        if (!selection)
        {
            if (key == kBackspace)
                mAnchor = PreviousBoundary(mText, mCaret);
            else
                mAnchor = NextBoundary(mText, mCaret);
        }
        Type("");
        return;
    case kSelectAll:
        mAnchor = 0;
        mCaret = mText.size();
        return;
    }
    if (!shift)
        mAnchor = mCaret;
}

int TextField::TextLeft(int width, const ITextStyle& style) const
{
    const int textWidth = Width(style, mText, mText.size());
    int left = kMargin;
    if (textWidth <= width - 2 * kMargin)
    {
        if (style.mAlign == ITextStyle::kAlignCenter)
            left = (width - textWidth) / 2;
        else if (style.mAlign == ITextStyle::kAlignFar)
            left = width - kMargin - textWidth;
        return left;
    }
    // Too wide: scrolled so the caret stays inside.
    const int caretX = left + Width(style, mText, mCaret);
    if (caretX > width - kMargin)
        left -= caretX - (width - kMargin);
    return left;
}

void TextField::Draw(LICE_IBitmap& bitmap, const ITextStyle& style, bool focused) const
{
    const int w = bitmap.getWidth(), h = bitmap.getHeight();
    LICE::FillRectangle(&bitmap, 0, 0, w, h, kBackground, 1.0f, LICE_BLIT_MODE_COPY);
    const int left = TextLeft(w, style);
    ITextStyle plain = style;
    plain.mAlign = ITextStyle::kAlignNear;
    DrawTextOnSurface(bitmap, plain, mText.c_str(), IRect(left, 0, w * 4, h));
    if (mCaret != mAnchor)
    {
        const std::size_t a = SelectionStart(), b = SelectionEnd();
        const int x0 = left + Width(style, mText, a);
        const int x1 = left + Width(style, mText, b);
        LICE::FillRectangle(&bitmap, x0, 0, x1 - x0, std::min(h, style.mSize + 1), kSelection, 1.0f,
                            LICE_BLIT_MODE_COPY);
        ITextStyle selected = plain;
        selected.mColor = IColorARGB(255, 255, 255, 255);
        const std::string part = mText.substr(a, b - a);
        DrawTextOnSurface(bitmap, selected, part.c_str(), IRect(x0, 0, w * 4, h));
    }
    else if (focused)
    {
        const int x = left + Width(style, mText, mCaret);
        LICE::FillRectangle(&bitmap, std::clamp(x, 0, w - 1), 0, 1, std::min(h, style.mSize),
                            0xFF000000u | (style.mColor.mR << 16) | (style.mColor.mG << 8) |
                                style.mColor.mB,
                            1.0f, LICE_BLIT_MODE_COPY);
    }
}

void TextField::PlaceCaret(int x, int fieldWidth, const ITextStyle& style)
{
    const int left = TextLeft(fieldWidth, style);
    std::size_t best = 0;
    int bestDistance = std::abs(x - left);
    for (std::size_t i = NextBoundary(mText, 0); i <= mText.size() && i > 0;
         i = NextBoundary(mText, i))
    {
        const int d = std::abs(x - (left + Width(style, mText, i)));
        if (d < bestDistance)
        {
            best = i;
            bestDistance = d;
        }
        if (i == mText.size())
            break;
    }
    mCaret = mAnchor = best;
}
