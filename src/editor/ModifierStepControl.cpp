#include "ModifierStepControl.h"

#include "IParameter.h"
#include "IPopupMenu.h"
#include "Orlantix.h"
#include "ThreadRole.h"

ModifierStepControl::ModifierStepControl(Orlantix& plug, int x, int y, int paramIdx,
                                         const IBitmapHandle& bitmap, EditorModel& model, int step,
                                         ModifierPane pane, std::span<const int> menuValues)
    : ISwitchControl(&plug, x, y, paramIdx, bitmap), mPlug(plug), mModel(model), mStep(step),
      mPane(pane), mMenuValues(menuValues)
{
}

std::unique_ptr<IPopupMenu> ModifierStepControl::BuildParamMenu() noexcept
{
    const IParameter* param = GetParam();
    if (!param || mStep < 0 || mStep >= EditorModel::kPaneSteps)
        return nullptr;
    RefreshEditorModel(mPlug, mModel);
    const int current = mModel.PaneOf(mPane).mValues[mStep];
    auto menu = std::make_unique<IPopupMenu>();
    for (const int value : mMenuValues)
    {
        if (value < 0)
        {
            menu->AddSeparator();
            continue;
        }
        const char* text = DisplayTextForKey(*param, value);
        const int flags = value == current ? IPopupMenu::Item::kChecked : 0;
        menu->AddTextItem(text ? text : "", -1, flags)->SetTag(value);
    }
    return menu;
}

void ModifierStepControl::ApplyMenuChoice(IPopupMenu& menu, int item) noexcept
{
    ORX_MAIN_THREAD();
    const IPopupMenu::Item* chosen = menu.ItemAt(item);
    if (!chosen || chosen->Tag() < 0 || !chosen->Enabled())
        return;
    // The framework's rule takes the parameter's key, which is the item's tag here: the items
    // are not in value order.
    IControl::ApplyMenuChoice(menu, chosen->Tag());
}
