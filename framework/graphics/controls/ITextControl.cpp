#include "ITextControl.h"

#include "IGraphics.h"
#include "TextRenderer.h"
#include "ThreadRole.h"

#include <vector>

namespace
{
constexpr char kEllipsis[] = "\xE2\x80\xA6"; // U+2026

int Width(const TextFont& font, const std::string& text)
{
    return font.LineWidth(text.data(), static_cast<int>(text.size()));
}

// One line (no line breaks) fitted into width.
std::string FittedLine(const TextFont& font, const std::string& line, int width)
{
    if (Width(font, line) <= width)
        return line;
    // Where each character starts: a line is only ever cut there.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < line.size(); ++i)
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    const auto shortened = [&](std::size_t chars)
    { return line.substr(0, chars < starts.size() ? starts[chars] : line.size()) + kEllipsis; };
    // Widths only grow with the length: the most characters that fit, by halving.
    std::size_t lo = 0, hi = starts.size();
    while (lo < hi)
    {
        const std::size_t mid = lo + (hi - lo + 1) / 2;
        if (Width(font, shortened(mid)) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    std::string shown = shortened(lo);
    if (Width(font, shown) > width)
        shown.clear();
    return shown;
}
} // namespace

ITextControl::ITextControl(IEditorHost* plug, const IRect& rect, const ITextStyle& style,
                           const char* text)
    : ITextControl(plug, rect, -1, style)
{
    mText = text ? text : "";
}

ITextControl::ITextControl(IEditorHost* plug, const IRect& rect, int paramIdx,
                           const ITextStyle& style)
    : IControl(plug, rect, paramIdx), mTextStyle(style), mNormalColor(style.mColor),
      mGreyedColor(GreyedColor(style.mColor))
{
}

IColorARGB ITextControl::GreyedColor(const IColorARGB& c) noexcept
{
    auto darker = [](int v) { return v > 128 ? v - 128 : 0; };
    return {255, darker(c.mR), darker(c.mG), darker(c.mB)};
}

std::string ITextControl::FittedText(const ITextStyle& style, const std::string& text, int width)
{
    const TextFont* font = style.Font();
    if (!font)
        return text;
    std::string fitted;
    std::size_t from = 0;
    for (;;)
    {
        const std::size_t end = text.find('\n', from);
        fitted += FittedLine(*font, text.substr(from, end - from), width);
        if (end == std::string::npos)
            return fitted;
        fitted += '\n';
        from = end + 1;
    }
}

bool ITextControl::Paint(IGraphics& graphics) noexcept
{
    return PaintText(graphics);
}

bool ITextControl::PaintText(IGraphics& graphics) noexcept
{
    if (mText.empty())
        return true;
    try
    {
        const IRect box = TextRect();
        const std::string shown = FittedText(mTextStyle, mText, box.W());
        return graphics.DrawText(mTextStyle, shown.c_str(), box);
    }
    catch (...)
    {
        return false; // out of memory: the text is missing from this frame
    }
}

void ITextControl::SetGreyed(bool greyed) noexcept
{
    IControl::SetGreyed(greyed);
    mTextStyle.mColor = greyed ? mGreyedColor : mNormalColor;
}

void ITextControl::SetText(const char* text)
{
    ORX_MAIN_THREAD();
    const char* t = text ? text : "";
    if (mText == t)
        return;
    MarkDirty(false);
    mText = t;
}
