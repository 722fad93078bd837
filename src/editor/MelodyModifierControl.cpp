#include "MelodyModifierControl.h"

#include "Check.h"

namespace
{
// Up, down, left, right, flips and random, none/original.
constexpr int kMenuValues[] = {8, 9,  10, 11, -1, 12, 13, 14, 15, -1, 2,  3,
                               4, -1, 5,  6,  7,  -1, 0,  1,  17, -1, 16, 18};
} // namespace

MelodyModifierControl::MelodyModifierControl(Orlantix& plug, int x, int y, int paramIdx,
                                             const IBitmapHandle& bitmap, EditorModel& model,
                                             int step)
    : ModifierStepControl(plug, x, y, paramIdx, bitmap, model, step, ModifierPane::kMelody,
                          kMenuValues)
{
    ORX_CHECK("src/OrlantixGui", step >= 0 && step < EditorModel::kPaneSteps,
              "position >= 0 && position < pMelodyModifierSequencer->getSize()");
}
