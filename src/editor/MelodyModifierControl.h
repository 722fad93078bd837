#pragma once
// A melody modifier step's button: one frame per modifier value, bound to the step's value
// parameter. A click steps to the next value and wraps to the first; a right press opens the
// step menu.

#include "ISwitchControl.h"

class Orlantix;
struct EditorModel;

class MelodyModifierControl : public ISwitchControl
{
public:
    // [main-thread] step: 0 to 7.
    MelodyModifierControl(Orlantix& plug, int x, int y, int paramIdx, const IBitmapHandle& bitmap,
                          EditorModel& model, int step);

    // Built anew on every opening, the step's current value checked.
    std::unique_ptr<IPopupMenu> BuildParamMenu() noexcept override;
    void ApplyMenuChoice(IPopupMenu& menu, int item) noexcept override;

private:
    Orlantix& mPlug;
    EditorModel& mModel;
    int mStep;
};
