#pragma once
// The editor's view of one modifier sequencer: a record per step holding the step's modifier
// button, its Temp/Perm pin, its marker and whether the step is the one playing. One view per
// pane, StrikeModifierSequencerControl and MelodyModifierSequencerControl; the pane builder
// fills the records and the graphics context owns the controls.

#include "MelodyModifierSequencer.h"
#include "Modifiers.h"
#include "PatternView.h"
#include "StrikeModifierSequencer.h"

class IControl;
class ISwitchControl;
class StepPermanentControl;

// The pane that shows a sequencer of this type.
template <class Sequencer>
inline constexpr ModifierPane kPaneOf = ModifierPane::kStrike;
template <>
inline constexpr ModifierPane kPaneOf<MelodyModifierSequencer> = ModifierPane::kMelody;

struct StepView
{
    ISwitchControl* mpModifier = nullptr; // a StrikeModifierControl or MelodyModifierControl
    StepPermanentControl* mpPin = nullptr;
    IControl* mpMarker = nullptr; // a StepMarkerCanvas
    bool mCurrent = false;        // the sequencer stands on this step
    ModifierPane mPane = ModifierPane::kStrike;
    int mStep = 0;
};

template <class Sequencer>
class StepSequencerControl
{
public:
    static constexpr ModifierPane kPane = kPaneOf<Sequencer>;

    StepSequencerControl() noexcept
    {
        for (int i = 0; i < kModifierSteps; ++i)
        {
            mSteps[i].mPane = kPane;
            mSteps[i].mStep = i;
        }
    }
    virtual ~StepSequencerControl() = default;
    StepSequencerControl(const StepSequencerControl&) = delete;
    StepSequencerControl& operator=(const StepSequencerControl&) = delete;

    StepView& Step(int i) noexcept { return mSteps[i]; }
    const StepView& Step(int i) const noexcept { return mSteps[i]; }

    // [main-thread] Marker, pin and button of every step paint on the next frame.
    void RepaintAll() noexcept;

private:
    StepView mSteps[kModifierSteps];
};

class StrikeModifierSequencerControl : public StepSequencerControl<StrikeModifierSequencer>
{
};

class MelodyModifierSequencerControl : public StepSequencerControl<MelodyModifierSequencer>
{
};
