// Any bytes handed to the plug-in as a host's saved state (effSetChunk, bank and program):
// the load must stay within bounds, and the instance must then play and save as usual.
#include "Orlantix.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace
{
Orlantix& Instance()
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
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Orlantix& plug = Instance();
    vst2::Effect* e = plug.GetEffect();
    std::vector<uint8_t> bytes(data, data + size);
    const int index = size > 0 ? data[0] & 1 : 0;
    e->dispatcher(e, vst2::effSetChunk, index, static_cast<intptr_t>(bytes.size()), bytes.data(),
                  0.0f);
    TransportState t;
    for (int b = 0; b < 8; ++b)
    {
        t.mSamplePos = b * 4096;
        plug.Engine().ProcessBlock(t, 4096);
        for (const IMidiMessage& m : plug.Engine().mMidiOut)
            if (m.mData1 > 127 || m.mData2 > 127)
                std::abort();
    }
    void* chunk = nullptr;
    if (e->dispatcher(e, vst2::effGetChunk, 0, 0, &chunk, 0.0f) != 5684)
        std::abort();
    return 0;
}
