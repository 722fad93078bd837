// Any bytes handed to the plug-in as a host's saved state (effSetChunk, bank and program):
// the load must stay within bounds, and the instance must then play and save as usual.
#include "FuzzInstance.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Orlantix& plug = FuzzInstance();
    vst2::Effect* e = plug.GetEffect();
    std::vector<uint8_t> bytes(data, data + size);
    const int index = size > 0 ? data[0] & 1 : 0;
    e->dispatcher(e, vst2::effSetChunk, index, static_cast<intptr_t>(bytes.size()), bytes.data(),
                  0.0f);
    PlayAndCheck(plug, 8, 4096);
    void* chunk = nullptr;
    if (e->dispatcher(e, vst2::effGetChunk, 0, 0, &chunk, 0.0f) != 5684)
        std::abort();
    return 0;
}
