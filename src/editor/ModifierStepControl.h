#pragma once
// A modifier step's button, strike or melody alike: one frame per modifier value, bound to the
// step's value parameter. A click steps to the next value and wraps to the first; a right press
// opens the step menu: the modifier values in groups divided by separators, each item tagged with
// its value and named by the parameter's display text, the step's current value checked.
// Choosing an item sets the button (and through it the parameter) to that value.

#include "EditorModel.h"
#include "ISwitchControl.h"

#include <span>

class Orlantix;

class ModifierStepControl : public ISwitchControl
{
public:
    // Built anew on every opening, the step's current value checked.
    std::unique_ptr<IPopupMenu> BuildParamMenu() noexcept override;
    // [main-thread] Separators and disabled items do nothing.
    void ApplyMenuChoice(IPopupMenu& menu, int item) noexcept override;

protected:
    // [main-thread] step: 0 to 7; menuValues: modifier values in menu order, -1 where a
    // separator divides two groups (static storage).
    ModifierStepControl(Orlantix& plug, int x, int y, int paramIdx, const IBitmapHandle& bitmap,
                        EditorModel& model, int step, ModifierPane pane,
                        std::span<const int> menuValues);

private:
    Orlantix& mPlug;
    EditorModel& mModel;
    int mStep;
    ModifierPane mPane;
    std::span<const int> mMenuValues;
};
