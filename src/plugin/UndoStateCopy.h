#pragma once
// The state an undo step records, copied under the instance lock and written out after it: the
// pattern and the groove are plain copies, so the section is a few copies of memory while the
// bytes are written without the lock. The editor thread's; its storage is kept from one edit to
// the next.

#include "Chord.h"
#include "ControllerMap.h"
#include "GrooveMaker.h"

#include <cstddef>
#include <string>
#include <vector>

struct UndoStateCopy
{
    // Room kept for the preset's path, so that copying it allocates nothing.
    static constexpr std::size_t kPathRoom = 1024;
    ChordProgression mProgression;
    GrooveMaker mGroove;
    std::vector<double> mValues; // every parameter's
    int mKeyPlayMode = 0;
    ControllerMap mMap;
    std::string mPath;
};
