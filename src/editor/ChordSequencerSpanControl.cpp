#include "ChordSequencerSpanControl.h"

#include "Orlantix.h"
#include "ThreadRole.h"

ChordSequencerSpanControl::ChordSequencerSpanControl(Orlantix& plug, const IRect& rect,
                                                     const IBitmapHandle& thumb)
    : DoubleThumbFaderControl(&plug, rect, thumb), mPlug(plug)
{
}

void ChordSequencerSpanControl::SpanChanged(int low, int high) noexcept
{
    ORX_MAIN_THREAD();
    mPlug.SetChordSpanFromEditor(low, high - low);
}
