#include "KeySpinner.h"

#include "IPopupMenu.h"
#include "Orlantix.h"

namespace
{
// Tags of the mode items: the mode plus this.
constexpr int kModeTag = 1000;
constexpr const char* kModeTexts[kNumKeyPlayModes] = {"Off", "Transpose", "Transpose + gate"};
} // namespace

KeySpinner::KeySpinner(Orlantix& plug, const IRect& rect, int paramIdx, const ITextStyle& style)
    : ISpinnerControl(&plug, rect, paramIdx, style, nullptr, true, false, kVertical, 8.0),
      mPlug(plug)
{
}

std::unique_ptr<IPopupMenu> KeySpinner::BuildParamMenu() noexcept
{
    std::unique_ptr<IPopupMenu> menu = ISpinnerControl::BuildParamMenu();
    if (!menu)
        return menu;
    try
    {
        auto modes = std::make_unique<IPopupMenu>();
        const int current = static_cast<int>(mPlug.GetKeyPlayMode());
        for (int mode = 0; mode < kNumKeyPlayModes; ++mode)
            modes
                ->AddTextItem(kModeTexts[mode], -1,
                              mode == current ? IPopupMenu::Item::kChecked : 0)
                ->SetTag(kModeTag + mode);
        menu->AddSeparator();
        menu->AddSubmenu(kSubmenuText, std::move(modes));
    }
    catch (...)
    {
        // Out of memory: the notes alone.
    }
    return menu;
}

int KeySpinner::ModeOfItem(const IPopupMenu& menu, int item) noexcept
{
    const IPopupMenu::Item* chosen = menu.ItemAt(item);
    const int tag = chosen ? chosen->Tag() : -1;
    return tag >= kModeTag && tag < kModeTag + kNumKeyPlayModes ? tag - kModeTag : -1;
}

void KeySpinner::ApplyMenuChoice(IPopupMenu& menu, int item) noexcept
{
    const int mode = ModeOfItem(menu, item);
    if (mode >= 0)
        mPlug.SetKeyPlayMode(static_cast<KeyPlayMode>(mode));
    else if (const IPopupMenu::Item* chosen = menu.ItemAt(item);
             chosen && chosen->Tag() < 0 && !chosen->IsSeparator() && !chosen->Submenu())
        ISpinnerControl::ApplyMenuChoice(menu, item);
}

std::string KeySpinner::MenuEditName(const IPopupMenu& menu, int item) const
{
    return ModeOfItem(menu, item) >= 0 ? kSubmenuText : EditName();
}
