#pragma once
// A text drawn in a rectangle with a text style; greyed, it takes a darker colour. A line wider
// than the rectangle is cut short with an ellipsis, never in the middle of a character.

#include "IControl.h"
#include "ITextStyle.h"

#include <string>

class ITextControl : public IControl
{
public:
    // [main-thread] Bound to no parameter.
    ITextControl(IEditorHost* plug, const IRect& rect, const ITextStyle& style,
                 const char* text = "");

    // An empty text draws nothing and counts as drawn.
    bool Paint(IGraphics& graphics) noexcept override;
    // Where the text is fitted and drawn: the control's rectangle, unless a control keeps a
    // border of its own around the text.
    virtual IRect TextRect() const noexcept { return GetRECT(); }
    // Also switches the text colour between the normal and the greyed one.
    void SetGreyed(bool greyed) noexcept override;

    // [main-thread] Marks the control dirty when the text changes.
    void SetText(const char* text);
    const char* GetText() const noexcept { return mText.c_str(); }
    const ITextStyle& Style() const noexcept { return mTextStyle; }

    // Each of red, green and blue 128 darker (0 at most), alpha 255.
    static IColorARGB GreyedColor(const IColorARGB& color) noexcept;
    // text as drawn width pixels wide in style: every line that is wider cut after the longest
    // beginning that fits with "…" after it (nothing when not even that fits). Unchanged without
    // a font.
    static std::string FittedText(const ITextStyle& style, const std::string& text, int width);

protected:
    ITextControl(IEditorHost* plug, const IRect& rect, int paramIdx, const ITextStyle& style);
    // The text, fitted into TextRect and drawn there.
    bool PaintText(IGraphics& graphics) noexcept;

    ITextStyle mTextStyle;
    IColorARGB mNormalColor;
    IColorARGB mGreyedColor;
    std::string mText;
};
