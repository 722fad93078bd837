#include "ModifierStepMenu.h"

#include "IControl.h"
#include "IParameter.h"
#include "IPopupMenu.h"

std::unique_ptr<IPopupMenu> BuildModifierStepMenu(const IParameter& param, const int* values,
                                                  int count, int current) noexcept
{
    auto menu = std::make_unique<IPopupMenu>();
    for (int i = 0; i < count; ++i)
    {
        if (values[i] < 0)
        {
            menu->AddSeparator();
            continue;
        }
        const char* text = DisplayTextForKey(param, values[i]);
        const int flags = values[i] == current ? IPopupMenu::Item::kChecked : 0;
        menu->AddTextItem(text ? text : "", -1, flags)->SetTag(values[i]);
    }
    return menu;
}

void ApplyModifierStepChoice(IControl& control, IPopupMenu& menu, int item) noexcept
{
    const IPopupMenu::Item* chosen = menu.ItemAt(item);
    if (!chosen || chosen->Tag() < 0 || !chosen->Enabled())
        return;
    // The framework's rule takes the parameter's key, which is the item's tag here: the items
    // are not in value order.
    control.IControl::ApplyMenuChoice(menu, chosen->Tag());
}
