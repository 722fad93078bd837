#pragma once
// Eight steps of melody modifiers, ticked once per chord pass: each step can reshape the whole
// melody now playing.

#include "Modifiers.h"
#include "Sequencer.h"

class MelodyModifierSequencer : public EnumProbabilityStepSequencer<EMelodyModifier, kModifierSteps>
{
public:
    MelodyModifierSequencer() noexcept
        : EnumProbabilityStepSequencer<EMelodyModifier, kModifierSteps>(kMelodyNone)
    {
    }
};
