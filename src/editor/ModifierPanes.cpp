#include "ModifierPanes.h"

#include "EditorLayout.h"
#include "EditorModel.h"
#include "IGraphicsWin.h"
#include "MelodyModifierControl.h"
#include "Orlantix.h"
#include "OrlantixParamIndex.h"
#include "StepMarkerCanvas.h"
#include "StepPermanentControl.h"
#include "StrikeModifierControl.h"
#include "ThreadRole.h"

namespace
{
// What differs between the two panes besides their places in the layout table.
struct PaneSpec
{
    const orx::layout::Pane& mLayout;
    int mRunParam;
    int mPinParam;
    int mModParam;
    // What the pane's edits are called in the undo history.
    const char* mRunName;
    const char* mPinName;
    const char* mStepName;
};

const PaneSpec kStrikeSpec{orx::layout::kStrikePane,
                           kStkRun,
                           kStkModT1,
                           kStkMod1,
                           "Strike run",
                           "Strike pin",
                           "Strike step"};
const PaneSpec kMelodySpec{orx::layout::kMelodyPane,
                           kMelRun,
                           kMekModT1,
                           kMelMod1,
                           "Melody run",
                           "Melody pin",
                           "Melody step"};

int Index(ModifierPane pane) noexcept
{
    return pane == ModifierPane::kStrike ? 0 : 1;
}

template <class Sequencer, class ModifierControl>
ISwitchControl* BuildPane(IGraphicsWin& g, Orlantix& plug, EditorModel& model,
                          StepSequencerControl<Sequencer>& view, const PaneSpec& spec,
                          const IBitmapHandle& modifierImage) noexcept
{
    const orx::layout::Pane& pane = spec.mLayout;
    const IBitmapHandle run = editor_layout::LoadImage(g, pane.mRunImage);
    const IBitmapHandle pin = editor_layout::LoadImage(g, pane.mPinImage);
    auto* runSwitch = new ISwitchControl(&plug, pane.mX, pane.mY, spec.mRunParam, run);
    runSwitch->SetEditName(spec.mRunName);
    g.AddControl(runSwitch);

    const int x0 = pane.mX + run.mW + 5;
    const int buttonTop = pane.mButtonY + pin.FrameHeight();
    const int markerTop = buttonTop + modifierImage.FrameHeight() + 1;
    for (int i = 0; i < kModifierSteps; ++i)
    {
        StepView& step = view.Step(i);
        const int x = x0 + pane.mPitch * i;
        step.mpModifier =
            new ModifierControl(plug, x, buttonTop, spec.mModParam + i, modifierImage, model, i);
        step.mpPin = new StepPermanentControl(&plug, x, pane.mY, spec.mPinParam + i, pin);
        step.mpMarker = new StepMarkerCanvas<Sequencer>(
            &plug, IRect(x, markerTop, x + pane.mMarkerW, markerTop + pane.mMarkerH), step, model);
        step.mpModifier->SetEditName(spec.mStepName);
        step.mpPin->SetEditName(spec.mPinName);
        g.AddControl(step.mpModifier);
        g.AddControl(step.mpPin);
        g.AddControl(step.mpMarker);
    }
    return runSwitch;
}
} // namespace

std::unique_ptr<ModifierPanes> ModifierPanes::Build(IGraphicsWin& g, Orlantix& plug,
                                                    EditorModel& model) noexcept
{
    ORX_MAIN_THREAD();
    std::unique_ptr<ModifierPanes> panes(new ModifierPanes());
    panes->mpPlug = &plug;
    RefreshEditorModel(plug, model);
    const IBitmapHandle strike = editor_layout::LoadImage(g, kStrikeSpec.mLayout.mImage);
    editor_layout::LoadImage(g, 121); // the pane's span knobs' image, already loaded
    panes->mpRunSwitches[0] = BuildPane<StrikeModifierSequencer, StrikeModifierControl>(
        g, plug, model, panes->mStrike, kStrikeSpec, strike);
    const IBitmapHandle melody = editor_layout::LoadImage(g, kMelodySpec.mLayout.mImage);
    panes->mpRunSwitches[1] = BuildPane<MelodyModifierSequencer, MelodyModifierControl>(
        g, plug, model, panes->mMelody, kMelodySpec, melody);
    return panes;
}

const StepView* ModifierPanes::Step(ModifierPane pane, int step) const noexcept
{
    if (step < 0 || step >= kModifierSteps)
        return nullptr;
    return pane == ModifierPane::kStrike ? &mStrike.Step(step) : &mMelody.Step(step);
}

ISwitchControl* ModifierPanes::RunSwitch(ModifierPane pane) const noexcept
{
    return mpRunSwitches[Index(pane)];
}

void ModifierPanes::SetStepHighlight(ModifierPane pane, int step, bool on) noexcept
{
    ORX_MAIN_THREAD();
    if (step < 0 || step >= kModifierSteps)
        return;
    StepView& view = pane == ModifierPane::kStrike ? mStrike.Step(step) : mMelody.Step(step);
    view.mCurrent = on;
    if (view.mpMarker)
        view.mpMarker->MarkDirty(false);
}

void ModifierPanes::RepaintAll(ModifierPane pane) noexcept
{
    ORX_MAIN_THREAD();
    if (pane == ModifierPane::kStrike)
        mStrike.RepaintAll();
    else
        mMelody.RepaintAll();
}
