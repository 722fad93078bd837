#include "StrikeModifierControl.h"

#include "Check.h"
#include "EditorModel.h"
#include "IPopupMenu.h"
#include "ModifierStepMenu.h"
#include "Orlantix.h"

#include <iterator>

namespace
{
// Up, down, flip/random/mute, none/original.
constexpr int kMenuValues[] = {0, 1, 2, 3, -1, 4, 5, 6, 7, -1, 8, 9, 10, -1, 11, 12};
} // namespace

StrikeModifierControl::StrikeModifierControl(Orlantix& plug, int x, int y, int paramIdx,
                                             const IBitmapHandle& bitmap, EditorModel& model,
                                             int step)
    : ISwitchControl(&plug, x, y, paramIdx, bitmap), mPlug(plug), mModel(model), mStep(step)
{
    ORX_CHECK("src/OrlantixGui", step >= 0 && step < EditorModel::kPaneSteps,
              "position >= 0 && position < pStrikeModifierSequencer->getSize()");
}

std::unique_ptr<IPopupMenu> StrikeModifierControl::BuildParamMenu() noexcept
{
    const IParameter* param = GetParam();
    if (!param || mStep < 0 || mStep >= EditorModel::kPaneSteps)
        return nullptr;
    RefreshEditorModel(mPlug, mModel);
    const int current = mModel.PaneOf(ModifierPane::kStrike).mValues[mStep];
    return BuildModifierStepMenu(*param, kMenuValues, static_cast<int>(std::size(kMenuValues)),
                                 current);
}

void StrikeModifierControl::ApplyMenuChoice(IPopupMenu& menu, int item) noexcept
{
    ApplyModifierStepChoice(*this, menu, item);
}
