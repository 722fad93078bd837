#pragma once
// One system-exclusive message with its sample offset in the current block. The bytes belong to
// whoever handed the message over and stay valid only for that call: whoever keeps the message
// longer copies them.

#include <cstdint>

struct ISysExMessage
{
    int32_t mOffset = 0; // sample frames from the start of the current block
    const uint8_t* mpData = nullptr;
    int32_t mSize = 0; // bytes at mpData
};
