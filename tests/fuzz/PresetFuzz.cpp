// Any bytes as a preset file: reading them and playing the result must stay within bounds and
// free of undefined behaviour, and every note must be a valid MIDI message.
#include "Orlantix.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace
{
Orlantix& Instance()
{
    // One instance for the whole run: construction is the expensive part, and a load must cope
    // with whatever state the previous input left.
    static std::unique_ptr<Orlantix> plug = []
    {
        auto p = std::make_unique<Orlantix>(nullptr);
        vst2::Effect* e = p->GetEffect();
        e->dispatcher(e, vst2::effOpen, 0, 0, nullptr, 0.0f);
        return p;
    }();
    return *plug;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Orlantix& plug = Instance();
    plug.ReadPresetText(reinterpret_cast<const char*>(data), size, "fuzz.preset");
    TransportState t;
    for (int b = 0; b < 16; ++b)
    {
        t.mSamplePos = b * 4096;
        plug.Engine().ProcessBlock(t, 4096);
        for (const IMidiMessage& m : plug.Engine().mMidiOut)
            if (m.mData1 > 127 || m.mData2 > 127 || m.mOffset < 0 || m.mOffset >= 4096)
                std::abort();
    }
    return 0;
}
