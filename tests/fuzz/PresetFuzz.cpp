// Any bytes as a preset file: reading them and playing the result must stay within bounds and
// free of undefined behaviour, and every note must be a valid MIDI message.
#include "FuzzInstance.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Orlantix& plug = FuzzInstance();
    plug.ReadPresetText(reinterpret_cast<const char*>(data), size, "fuzz.preset");
    PlayAndCheck(plug, 16, 4096);
    return 0;
}
