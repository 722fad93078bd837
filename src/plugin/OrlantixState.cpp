#include "Orlantix.h"

#include "StateChunk.h"
#include "ThreadRole.h"

bool Orlantix::WriteState(IByteChunk& chunk)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    const bool pattern = WritePatternState(chunk, mEngine.mProgression, mEngine.mGroove);
    return WriteParamValues(chunk, true) && pattern;
}

int Orlantix::ReadState(const IByteChunk& chunk, int startPos)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    int pos = ReadPatternState(chunk, startPos, mEngine.mProgression, mEngine.mGroove);
    // Runs every handler, so whatever the parameters derive (span, degrees, pulses, groove
    // flags, row solo and mute) follows the loaded values even when the chunk was short.
    pos = UnserializeParams(chunk, pos, true);
    mEngine.mResyncPending = true;
    View().RedrawAll();
    return pos;
}
