#pragma once
// One host program: a name and the parameter values written into it.

#include "IByteChunk.h"

struct IPresetSlot
{
    static constexpr int kNameSize = 256; // 255 usable

    bool mInitialised = false;
    char mName[kNameSize] = {};
    IByteChunk mChunk;
};
