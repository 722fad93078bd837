#pragma once
// A melody modifier step's button (ModifierStepControl.h), with the melody modifier values in
// its menu.

#include "ModifierStepControl.h"

class MelodyModifierControl : public ModifierStepControl
{
public:
    // [main-thread] step: 0 to 7.
    MelodyModifierControl(Orlantix& plug, int x, int y, int paramIdx, const IBitmapHandle& bitmap,
                          EditorModel& model, int step);
};
