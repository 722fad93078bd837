#pragma once
// A modifier step's Temp/Perm pin: a two-frame switch bound to the step's permanence parameter.

#include "ISwitchControl.h"

class StepPermanentControl : public ISwitchControl
{
public:
    using ISwitchControl::ISwitchControl;
};
