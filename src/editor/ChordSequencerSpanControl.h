#pragma once
// The span control above the melody grid: which chord steps of the progression are active.
// The low thumb marks the first active chord step, the high thumb the one after the last.
// Moving it writes NumStep and StepOne (the host is not told) and the progression's span.

#include "DoubleThumbFaderControl.h"

class Orlantix;

class ChordSequencerSpanControl : public DoubleThumbFaderControl
{
public:
    // [main-thread]
    ChordSequencerSpanControl(Orlantix& plug, const IRect& rect, const IBitmapHandle& thumb);

protected:
    // (takes lock) The chord span of the instance: begin low, high - low steps.
    void SpanChanged(int low, int high) noexcept override;

private:
    Orlantix& mPlug;
};
