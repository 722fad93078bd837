#pragma once
// A strike modifier step's button (ModifierStepControl.h), with the strike modifier values in
// its menu.

#include "ModifierStepControl.h"

class StrikeModifierControl : public ModifierStepControl
{
public:
    // [main-thread] step: 0 to 7.
    StrikeModifierControl(Orlantix& plug, int x, int y, int paramIdx, const IBitmapHandle& bitmap,
                          EditorModel& model, int step);
};
