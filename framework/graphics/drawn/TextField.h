#pragma once
// A one-line text field that a window layer draws itself (the X11 layer's value-prompt entry
// box, the file chooser's name field): its text, caret and selection, edited by keys and typed
// characters, and its picture. Portable, so its rules are tested without a screen. Text is
// UTF-8; the caret moves by characters.

#include "IRect.h"
#include "ITextStyle.h"

#include <cstddef>
#include <string>

class LICE_IBitmap;

class TextField
{
public:
    enum EKey
    {
        kLeft,
        kRight,
        kHome,
        kEnd,
        kBackspace,
        kDelete,
        kSelectAll,
    };

    // The text, with the caret at its end, all selected when asked.
    void SetText(const std::string& text, bool selectAll = false);
    const std::string& Text() const noexcept { return mText; }
    // Replaces the selection (or inserts at the caret); control characters are dropped.
    void Type(const std::string& utf8);
    // Shift extends the selection with the caret's moves.
    void Key(EKey key, bool shift = false);
    // Byte offsets: the caret, and the selection [start, end) (empty when equal).
    std::size_t Caret() const noexcept { return mCaret; }
    std::size_t SelectionStart() const noexcept { return mCaret < mAnchor ? mCaret : mAnchor; }
    std::size_t SelectionEnd() const noexcept { return mCaret < mAnchor ? mAnchor : mCaret; }

    // The field in bitmap (the whole bitmap is the field): background, the text in the style
    // (aligned as the style says; a text wider than the field scrolls to keep the caret in
    // view), the selection highlighted, and the caret when focused.
    void Draw(LICE_IBitmap& bitmap, const ITextStyle& style, bool focused) const;
    // Puts the caret at the character boundary nearest x in a field drawn so.
    void PlaceCaret(int x, int fieldWidth, const ITextStyle& style);

private:
    // Where the text starts in a field of width drawn with style.
    int TextLeft(int width, const ITextStyle& style) const;

    std::string mText;
    std::size_t mCaret = 0;
    std::size_t mAnchor = 0;
};
