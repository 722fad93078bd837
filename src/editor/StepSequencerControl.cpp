#include "StepSequencerControl.h"

#include "ISwitchControl.h"
#include "StepPermanentControl.h"
#include "ThreadRole.h"

template <class Sequencer>
void StepSequencerControl<Sequencer>::RepaintAll() noexcept
{
    ORX_MAIN_THREAD();
    for (StepView& step : mSteps)
    {
        if (step.mpMarker)
            step.mpMarker->MarkDirty(false);
        if (step.mpPin)
            step.mpPin->MarkDirty(false);
        if (step.mpModifier)
            step.mpModifier->MarkDirty(false);
    }
}

template class StepSequencerControl<StrikeModifierSequencer>;
template class StepSequencerControl<MelodyModifierSequencer>;
