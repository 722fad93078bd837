#pragma once
// One MIDI event the hosted plug-in sent, stamped twice: with the host position the plug-in
// was told (what the event listing shows) and with the time it sounded since the render began
// (what the MIDI file and the synthesiser use; the two differ once a loop jumps back).

#include <cstdint>

namespace orxrender
{

struct RenderEvent
{
    int64_t mSample = 0;   // the block's host position plus the event's offset
    int64_t mTimeline = 0; // the render's first sample plus the frames played before it
    uint8_t mStatus = 0;
    uint8_t mData1 = 0;
    uint8_t mData2 = 0;
};

} // namespace orxrender
