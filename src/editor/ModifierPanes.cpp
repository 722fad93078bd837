#include "ModifierPanes.h"

#include "EditorModel.h"
#include "IGraphicsWin.h"
#include "MelodyModifierControl.h"
#include "Orlantix.h"
#include "OrlantixParamIndex.h"
#include "StepMarkerCanvas.h"
#include "StepPermanentControl.h"
#include "StrikeModifierControl.h"

namespace
{
constexpr int kPaneTop = 410;
constexpr int kStepPitch = 29;
constexpr int kMarkerWidth = 24;
constexpr int kMarkerHeight = 6;

// What differs between the two panes.
struct PaneSpec
{
    int mRunX;
    int mRunParam;
    int mFirstStepOffset; // first step column: run switch's width + this
    int mPinParam;
    int mModParam;
    int mButtonTop; // buttons at this + the pin's frame height
};

constexpr PaneSpec kStrikeSpec{20, kStkRun, 25, kStkModT1, kStkMod1, kPaneTop + 2};
constexpr PaneSpec kMelodySpec{436, kMelRun, 441, kMekModT1, kMelMod1, kPaneTop + 1};

int Index(ModifierPane pane) noexcept
{
    return pane == ModifierPane::kStrike ? 0 : 1;
}

template <class Sequencer, class ModifierControl>
ISwitchControl* BuildPane(IGraphicsWin& g, Orlantix& plug, EditorModel& model,
                          StepSequencerControl<Sequencer>& view, const PaneSpec& spec,
                          const IBitmapHandle& modifierImage) noexcept
{
    const IBitmapHandle run = g.LoadBitmap(125, "img/tape-play-button.png", 2);
    const IBitmapHandle pin = g.LoadBitmap(117, "img/pin-14x14.png", 2);
    auto* runSwitch = new ISwitchControl(&plug, spec.mRunX, kPaneTop, spec.mRunParam, run);
    g.AddControl(runSwitch);

    const int x0 = run.mW + spec.mFirstStepOffset;
    const int buttonTop = spec.mButtonTop + pin.FrameHeight();
    const int markerTop = buttonTop + modifierImage.FrameHeight() + 1;
    for (int i = 0; i < kModifierSteps; ++i)
    {
        StepView& step = view.Step(i);
        const int x = x0 + kStepPitch * i;
        step.mpModifier =
            new ModifierControl(plug, x, buttonTop, spec.mModParam + i, modifierImage, model, i);
        step.mpPin = new StepPermanentControl(&plug, x, kPaneTop, spec.mPinParam + i, pin);
        step.mpMarker = new StepMarkerCanvas<Sequencer>(
            &plug, IRect(x, markerTop, x + kMarkerWidth, markerTop + kMarkerHeight), step, model);
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
    std::unique_ptr<ModifierPanes> panes(new ModifierPanes());
    RefreshEditorModel(plug, model);
    const IBitmapHandle strike = g.LoadBitmap(118, "img/strike-mod-button.png", 13);
    g.LoadBitmap(121, "img/knob16x16-8.png", 8); // the pane's span knobs' image, already loaded
    panes->mpRunSwitches[0] = BuildPane<StrikeModifierSequencer, StrikeModifierControl>(
        g, plug, model, panes->mStrike, kStrikeSpec, strike);
    const IBitmapHandle melody = g.LoadBitmap(119, "img/melody-mod-button.png", 19);
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
    if (step < 0 || step >= kModifierSteps)
        return;
    StepView& view = pane == ModifierPane::kStrike ? mStrike.Step(step) : mMelody.Step(step);
    view.mCurrent = on;
    if (view.mpMarker)
        view.mpMarker->MarkDirty(false);
}

void ModifierPanes::RepaintAll(ModifierPane pane) noexcept
{
    if (pane == ModifierPane::kStrike)
        mStrike.RepaintAll();
    else
        mMelody.RepaintAll();
}
