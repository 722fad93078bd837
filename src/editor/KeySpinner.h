#pragma once
// The Key spinner: the tonic's menu of notes, and below it the choice of playing the pattern
// from a keyboard ("Play from keys": off, transpose, transpose + gate), which has no parameter
// and no room of its own on the editor.

#include "ISpinnerControl.h"

class Orlantix;

class KeySpinner : public ISpinnerControl
{
public:
    KeySpinner(Orlantix& plug, const IRect& rect, int paramIdx, const ITextStyle& style);

    std::unique_ptr<IPopupMenu> BuildParamMenu() noexcept override;
    void ApplyMenuChoice(IPopupMenu& menu, int item) noexcept override;
    std::string MenuEditName(const IPopupMenu& menu, int item) const override;

    static constexpr const char* kSubmenuText = "Play from keys";

private:
    // The key-play mode of a menu item, or -1 for a note.
    static int ModeOfItem(const IPopupMenu& menu, int item) noexcept;

    Orlantix& mPlug;
};
