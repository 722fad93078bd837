#include "Orlantix.h"

#include "ExtraState.h"
#include "StateChunk.h"
#include "ThreadRole.h"

bool Orlantix::WriteCoreState(IByteChunk& chunk)
{
    const bool pattern = WritePatternState(chunk, mEngine.mProgression, mEngine.mGroove);
    return WriteParamValues(chunk, true) && pattern;
}

int Orlantix::ReadCoreState(const IByteChunk& chunk, int startPos)
{
    int pos = ReadPatternState(chunk, startPos, mEngine.mProgression, mEngine.mGroove);
    // Runs every handler, so whatever the parameters derive (span, degrees, pulses, groove
    // flags, row solo and mute) follows the loaded values even when the chunk was short.
    pos = UnserializeParams(chunk, pos, true);
    mEngine.mResyncPending = true;
    View().RedrawAll();
    return pos;
}

bool Orlantix::WriteState(IByteChunk& chunk)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    ExtraState extra;
    extra.mMap = mControllerMap;
    extra.mKeyPlayMode = static_cast<int>(mEngine.mKeys.Mode());
    const bool core = WriteCoreState(chunk);
    // Left out at the defaults: a fresh instance writes the chunk it always wrote.
    return (extra.IsDefault() || WriteExtraState(chunk, extra)) && core;
}

int Orlantix::ReadState(const IByteChunk& chunk, int startPos)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    const int pos = ReadCoreState(chunk, startPos);
    // A chunk without the block (an older one) binds no controller and plays no keys.
    ExtraState extra;
    const int end = pos < 0 ? -1 : ReadExtraState(chunk, pos, NParams(), extra);
    // (A block that is not one is ignored: the pattern and parameters stand.)
    mControllerMap = extra.mMap;
    mEngine.mKeys.SetMode(static_cast<KeyPlayMode>(extra.mKeyPlayMode));
    ++mMapVersion;
    return end;
}

bool Orlantix::WriteUndoState(IByteChunk& chunk)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    // The preset's name is no part of the state, but loading a preset from the editor changes
    // it: undoing the load brings back the name shown before. The key-play mode and the
    // controller map are edits of the editor's; the map has a fixed size, so its bytes stay at
    // one place whatever the path's length. A learn not yet recorded is not shown.
    const std::string& path = mPresetName.FullPath();
    const auto size = static_cast<int32_t>(path.size());
    bool ok = WriteCoreState(chunk) && chunk.Put(static_cast<int32_t>(mEngine.mKeys.Mode()));
    const ControllerMap& map = mLearnedNotice ? mMapBeforeLearn : mControllerMap;
    for (int c = 0; ok && c < ControllerMap::kNumControllers; ++c)
    {
        const ControllerAssignment a = map.At(c);
        ok = chunk.Put(static_cast<int32_t>(a.mParamIdx)) &&
             chunk.Put(static_cast<int32_t>(a.mChannelMask));
    }
    return ok && chunk.Put(size) && chunk.PutBytes(path.data(), static_cast<int>(path.size()));
}

int Orlantix::ReadUndoState(const IByteChunk& chunk, int startPos)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    int pos = ReadCoreState(chunk, startPos);
    int32_t mode = 0;
    if (pos < 0 || (pos = chunk.Get(&mode, pos)) < 0 || mode < 0 || mode >= kNumKeyPlayModes)
        return -1;
    mEngine.mKeys.SetMode(static_cast<KeyPlayMode>(mode));
    ControllerMap map;
    for (int c = 0; c < ControllerMap::kNumControllers; ++c)
    {
        int32_t param = -1, mask = 0;
        if ((pos = chunk.Get(&param, pos)) < 0 || (pos = chunk.Get(&mask, pos)) < 0)
            return -1;
        map.Assign(c, GetParam(param) ? param : -1, static_cast<uint32_t>(mask));
    }
    mControllerMap = map;
    mLearnedNotice = false;
    ++mMapVersion;
    int32_t size = 0;
    if ((pos = chunk.Get(&size, pos)) < 0 || size < 0 || size > chunk.Size() - pos)
        return -1;
    const std::string path(reinterpret_cast<const char*>(chunk.Data()) + pos,
                           static_cast<std::size_t>(size));
    mPresetName.Set(path.empty() ? nullptr : path.c_str());
    View().ShowPresetName(path.empty() ? PresetName::kNoPresetText : mPresetName.Name());
    return pos + size;
}
