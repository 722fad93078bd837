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

bool Orlantix::WriteUndoState(IByteChunk& chunk)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    // The preset's name is no part of the state, but loading a preset from the editor changes
    // it: undoing the load brings back the name shown before.
    const std::string& path = mPresetName.FullPath();
    const auto size = static_cast<int32_t>(path.size());
    return WriteState(chunk) && chunk.Put(size) &&
           chunk.PutBytes(path.data(), static_cast<int>(path.size()));
}

int Orlantix::ReadUndoState(const IByteChunk& chunk, int startPos)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    int pos = ReadState(chunk, startPos);
    int32_t size = 0;
    if (pos < 0 || (pos = chunk.Get(&size, pos)) < 0 || size < 0 || size > chunk.Size() - pos)
        return -1;
    const std::string path(reinterpret_cast<const char*>(chunk.Data()) + pos,
                           static_cast<std::size_t>(size));
    mPresetName.Set(path.empty() ? nullptr : path.c_str());
    View().ShowPresetName(path.empty() ? PresetName::kNoPresetText : mPresetName.Name());
    return pos + size;
}
