#pragma once
// Eight steps of strike modifiers, ticked once per pulse: each step can reshape the pitch set
// about to sound.

#include "Modifiers.h"
#include "Sequencer.h"

class StrikeModifierSequencer : public EnumProbabilityStepSequencer<EStrikeModifier, kModifierSteps>
{
public:
    StrikeModifierSequencer() noexcept
        : EnumProbabilityStepSequencer<EStrikeModifier, kModifierSteps>(kStrikeNone)
    {
    }
};
