#pragma once
// The settings that came after the first form of the state chunk: the controller map and the
// key-play mode. They follow the parameter values as one tagged, versioned block, so a reader
// that stops after the parameters loads such a chunk as before, and a chunk without the block
// (an older one) means no controller bound and key play off.
//
//   4 bytes  tag "OXex"
//   int      version (1)
//   int      size of what follows, in bytes (a later version may add fields: readers skip them)
//   int      key-play mode (0 off, 1 transpose, 2 transpose + gate)
//   int      count of bound controllers, then for each: int controller, int parameter index,
//            int channel mask

#include "ControllerMap.h"
#include "IByteChunk.h"

inline constexpr int kExtraStateVersion = 1;

struct ExtraState
{
    ControllerMap mMap;
    int mKeyPlayMode = 0;

    // Nothing to keep beyond the defaults: the block is left out, so a fresh instance writes
    // the chunk it always wrote.
    bool IsDefault() const noexcept { return mKeyPlayMode == 0 && mMap.BoundCount() == 0; }
};

// Appends the block; false when the chunk cannot grow.
bool WriteExtraState(IByteChunk& chunk, const ExtraState& state);

// Reads the block at position into state and answers the position after it. Without the block
// there (another tag, or the chunk ends) state becomes the defaults and the answer is position;
// so it does for a block that does not fit or holds nonsense (an unknown mode, a controller or
// parameter out of range: numParams bounds the indices), which is ignored whole rather than
// refusing the pattern and parameters read before it.
int ReadExtraState(const IByteChunk& chunk, int position, int numParams, ExtraState& state);
