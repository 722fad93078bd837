#include "MelodyModifierControl.h"

#include "Check.h"
#include "EditorModel.h"
#include "IPopupMenu.h"
#include "ModifierStepMenu.h"
#include "Orlantix.h"

#include <iterator>

namespace
{
// Up, down, left, right, flips and random, none/original.
constexpr int kMenuValues[] = {8, 9,  10, 11, -1, 12, 13, 14, 15, -1, 2,  3,
                               4, -1, 5,  6,  7,  -1, 0,  1,  17, -1, 16, 18};
} // namespace

MelodyModifierControl::MelodyModifierControl(Orlantix& plug, int x, int y, int paramIdx,
                                             const IBitmapHandle& bitmap, EditorModel& model,
                                             int step)
    : ISwitchControl(&plug, x, y, paramIdx, bitmap), mPlug(plug), mModel(model), mStep(step)
{
    ORX_CHECK("src/OrlantixGui", step >= 0 && step < EditorModel::kPaneSteps,
              "position >= 0 && position < pMelodyModifierSequencer->getSize()");
}

std::unique_ptr<IPopupMenu> MelodyModifierControl::BuildParamMenu() noexcept
{
    const IParameter* param = GetParam();
    if (!param || mStep < 0 || mStep >= EditorModel::kPaneSteps)
        return nullptr;
    RefreshEditorModel(mPlug, mModel);
    const int current = mModel.PaneOf(ModifierPane::kMelody).mValues[mStep];
    return BuildModifierStepMenu(*param, kMenuValues, static_cast<int>(std::size(kMenuValues)),
                                 current);
}

void MelodyModifierControl::ApplyMenuChoice(IPopupMenu& menu, int item) noexcept
{
    ApplyModifierStepChoice(*this, menu, item);
}
