#pragma once
// The plug-in instance a fuzz target feeds: opened as a host opens it, and kept for the whole
// run, since construction is the expensive part and every input must cope with whatever state
// the previous one left.

#include "Orlantix.h"
#include "ThreadRole.h"

#include <cstdlib>
#include <memory>

inline Orlantix& FuzzInstance()
{
    static std::unique_ptr<Orlantix> plug = []
    {
        auto p = std::make_unique<Orlantix>(nullptr);
        vst2::Effect* e = p->GetEffect();
        e->dispatcher(e, vst2::effOpen, 0, 0, nullptr, 0.0f);
        return p;
    }();
    return *plug;
}

// Plays blocks of the instance's own engine and stops the run on anything that is not a valid
// MIDI message inside its block.
inline void PlayAndCheck(Orlantix& plug, int blocks, int frames)
{
    TransportState t;
    const orx::ProcessCallScope audio; // played as the audio thread plays it
    for (int b = 0; b < blocks; ++b)
    {
        t.mSamplePos = b * frames;
        plug.Engine().ProcessBlock(t, frames);
        for (const IMidiMessage& m : plug.Engine().mMidiOut)
            if (m.mData1 > 127 || m.mData2 > 127 || m.mOffset < 0 || m.mOffset >= frames)
                std::abort();
    }
}
