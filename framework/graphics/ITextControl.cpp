#include "ITextControl.h"

#include "IGraphics.h"

ITextControl::ITextControl(IPlugBase* plug, const IRect& rect, const ITextStyle& style,
                           const char* text)
    : ITextControl(plug, rect, -1, style)
{
    mText = text ? text : "";
}

ITextControl::ITextControl(IPlugBase* plug, const IRect& rect, int paramIdx,
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

bool ITextControl::Paint(IGraphics& graphics) noexcept
{
    if (mText.empty())
        return true;
    return graphics.DrawText(mTextStyle, mText.c_str(), GetRECT());
}

void ITextControl::SetGreyed(bool greyed) noexcept
{
    IControl::SetGreyed(greyed);
    mTextStyle.mColor = greyed ? mGreyedColor : mNormalColor;
}

void ITextControl::SetText(const char* text)
{
    const char* t = text ? text : "";
    if (mText == t)
        return;
    MarkDirty(false);
    mText = t;
}
