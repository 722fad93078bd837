#include "ChordSequencerSpanControl.h"

#include "Orlantix.h"

ChordSequencerSpanControl::ChordSequencerSpanControl(Orlantix& plug, const IRect& rect,
                                                     const IBitmapHandle& thumb)
    : DoubleThumbFaderControl(&plug, rect, thumb), mPlug(plug)
{
}

void ChordSequencerSpanControl::SpanChanged(int low, int high) noexcept
{
    mPlug.SetChordSpanFromEditor(low, high - low);
}
