#include "StrikeModifierControl.h"

#include "Check.h"

namespace
{
// Up, down, flip/random/mute, none/original.
constexpr int kMenuValues[] = {0, 1, 2, 3, -1, 4, 5, 6, 7, -1, 8, 9, 10, -1, 11, 12};
} // namespace

StrikeModifierControl::StrikeModifierControl(Orlantix& plug, int x, int y, int paramIdx,
                                             const IBitmapHandle& bitmap, EditorModel& model,
                                             int step)
    : ModifierStepControl(plug, x, y, paramIdx, bitmap, model, step, ModifierPane::kStrike,
                          kMenuValues)
{
    ORX_CHECK("src/OrlantixGui", step >= 0 && step < EditorModel::kPaneSteps,
              "position >= 0 && position < pStrikeModifierSequencer->getSize()");
}
