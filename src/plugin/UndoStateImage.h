#pragma once
// The state an undo or a redo puts back, read ahead of the instance lock: the pattern, every
// parameter's value, the key-play mode, the controller map and the preset's name, and the bytes
// they were read from, so that the read under the lock can tell the image is of the chunk it is
// handed.

#include "ControllerMap.h"
#include "PresetName.h"
#include "StateChunk.h"

#include <cstdint>
#include <string>
#include <vector>

struct UndoStateImage
{
    bool mReady = false;
    std::vector<std::uint8_t> mSource; // from the start position to the end of the name
    PatternImage mPattern;
    std::vector<double> mValues; // every parameter's, not a number read as 0
    int mKeyPlayMode = 0;
    ControllerMap mMap;
    std::string mPath;
    PresetName mName; // made from the path, taken in by the read under the lock
};
