#include "Orlantix.h"

#include "ExtraState.h"
#include "StateChunk.h"
#include "ThreadRole.h"

#include <algorithm>
#include <cmath>

namespace
{
// The undo state's key-play mode and controller map, after the parameters: one int, then a
// parameter index and a channel mask for each controller. -1 when the bytes are not there or
// hold nonsense.
int ReadUndoExtras(const IByteChunk& chunk, int pos, int numParams, int& mode,
                   ControllerMap& map) noexcept
{
    int32_t m = 0;
    if (pos < 0 || (pos = chunk.Get(&m, pos)) < 0 || m < 0 || m >= kNumKeyPlayModes)
        return -1;
    mode = m;
    map.Clear();
    for (int c = 0; c < ControllerMap::kNumControllers; ++c)
    {
        int32_t param = -1, mask = 0;
        if ((pos = chunk.Get(&param, pos)) < 0 || (pos = chunk.Get(&mask, pos)) < 0)
            return -1;
        map.Assign(c, param >= 0 && param < numParams ? param : -1, static_cast<uint32_t>(mask));
    }
    return pos;
}
} // namespace

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
    // The editor redraws its controller marks when the version moves: only for another map.
    if (!(mControllerMap == extra.mMap))
        ++mMapVersion;
    mControllerMap = extra.mMap;
    mEngine.mKeys.SetMode(static_cast<KeyPlayMode>(extra.mKeyPlayMode));
    return end;
}

bool Orlantix::WriteUndoState(IByteChunk& chunk)
{
    ORX_MAIN_THREAD();
    // The preset's name is no part of the state, but loading a preset from the editor changes
    // it: undoing the load brings back the name shown before. The key-play mode and the
    // controller map are edits of the editor's; the map has a fixed size, so its bytes stay at
    // one place whatever the path's length. A learn not yet recorded is not shown.
    UndoStateCopy& copy = mUndoCopy;
    try
    {
        copy.mValues.resize(static_cast<std::size_t>(NParams()));
        copy.mPath.reserve(UndoStateCopy::kPathRoom);
    }
    catch (...)
    {
        return false;
    }
    bool pathCopied = false;
    // Copies only, into storage that is there already, as the audio thread may make them: the
    // bytes are written after.
    Mutex().Run(
        [&]() noexcept
        {
            copy.mProgression = mEngine.mProgression;
            copy.mGroove.CopyFrom(mEngine.mGroove);
            for (int i = 0; i < NParams(); ++i)
                copy.mValues[static_cast<std::size_t>(i)] = GetParam(i)->Value();
            copy.mKeyPlayMode = static_cast<int>(mEngine.mKeys.Mode());
            copy.mMap = mLearnedNotice ? mMapBeforeLearn : mControllerMap;
            const std::string& path = mPresetName.FullPath();
            pathCopied = path.size() <= copy.mPath.capacity();
            if (pathCopied)
                copy.mPath.assign(path);
        });
    if (!pathCopied)
    {
        // A path longer than the room: only this thread sets it, so it is still the one above.
        // Not where nothing may allocate (an undo step the audio thread makes): the step is
        // made again on the editor's thread.
        if (IMutex::RunsHandedWork())
            return false;
        try
        {
            IMutexLock lock(Mutex());
            copy.mPath.assign(mPresetName.FullPath());
        }
        catch (...)
        {
            return false;
        }
    }
    bool ok = WritePatternState(chunk, copy.mProgression, copy.mGroove);
    for (const double value : copy.mValues)
        ok = ok && chunk.Put(value);
    ok = ok && chunk.Put(static_cast<int32_t>(copy.mKeyPlayMode));
    for (int c = 0; ok && c < ControllerMap::kNumControllers; ++c)
    {
        const ControllerAssignment a = copy.mMap.At(c);
        ok = chunk.Put(static_cast<int32_t>(a.mParamIdx)) &&
             chunk.Put(static_cast<int32_t>(a.mChannelMask));
    }
    const auto size = static_cast<int32_t>(copy.mPath.size());
    return ok && chunk.Put(size) &&
           chunk.PutBytes(copy.mPath.data(), static_cast<int>(copy.mPath.size()));
}

void Orlantix::PrepareUndoState(const IByteChunk& chunk, int startPos) noexcept
{
    ORX_MAIN_THREAD();
    UndoStateImage& image = mUndoImage;
    image.mReady = false;
    int pos = ReadPatternImage(chunk, startPos, image.mPattern);
    try
    {
        image.mValues.resize(static_cast<std::size_t>(NParams()));
        for (double& value : image.mValues)
        {
            pos = chunk.Get(&value, pos);
            if (std::isnan(value))
                value = 0.0; // as the parameters' own read takes it
        }
        pos = ReadUndoExtras(chunk, pos, NParams(), image.mKeyPlayMode, image.mMap);
        int32_t size = 0;
        if (pos < 0 || (pos = chunk.Get(&size, pos)) < 0 || size < 0 || size > chunk.Size() - pos)
            return;
        const auto* bytes = chunk.Data();
        image.mPath.assign(reinterpret_cast<const char*>(bytes) + pos,
                           static_cast<std::size_t>(size));
        image.mSource.assign(bytes + startPos, bytes + pos + size);
        image.mName.Set(image.mPath.empty() ? nullptr : image.mPath.c_str());
        image.mReady = true;
    }
    catch (...)
    {
        image.mReady = false; // the read under the lock reads the chunk itself
    }
}

int Orlantix::ReadUndoState(const IByteChunk& chunk, int startPos)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    UndoStateImage& image = mUndoImage;
    const std::size_t n = image.mSource.size();
    const bool prepared =
        image.mReady && startPos >= 0 && startPos <= chunk.Size() &&
        static_cast<std::size_t>(chunk.Size() - startPos) >= n &&
        std::equal(image.mSource.begin(), image.mSource.end(), chunk.Data() + startPos);
    // Reading the bytes here allocates: not on the audio thread.
    if (!prepared && IMutex::RunsHandedWork())
        return kUndoDeclined;
    const ControllerMap mapBefore = mControllerMap;
    image.mReady = false;
    int pos = 0;
    if (prepared)
    {
        // What ReadState does with the same bytes, read before the lock was taken.
        ApplyPatternImage(image.mPattern, mEngine.mProgression, mEngine.mGroove);
        for (int i = 0; i < NParams(); ++i)
        {
            IParameter& param = *GetParam(i);
            param.SetValue(
                std::clamp(image.mValues[static_cast<std::size_t>(i)], param.Min(), param.Max()));
        }
        for (int i = 0; i < NParams(); ++i)
            HandleParamChange(i);
        mEngine.mResyncPending = true;
        View().RedrawAll();
        mEngine.mKeys.SetMode(static_cast<KeyPlayMode>(image.mKeyPlayMode));
        mControllerMap = image.mMap;
        // The name made ahead: the old one goes with the image, freed on the editor's thread.
        mPresetName.Swap(image.mName);
        pos = startPos + static_cast<int>(n);
    }
    else
    {
        int mode = 0;
        ControllerMap map;
        pos = ReadUndoExtras(chunk, ReadCoreState(chunk, startPos), NParams(), mode, map);
        if (pos < 0)
            return -1;
        mEngine.mKeys.SetMode(static_cast<KeyPlayMode>(mode));
        mControllerMap = map;
        int32_t size = 0;
        if (pos < 0 || (pos = chunk.Get(&size, pos)) < 0 || size < 0 || size > chunk.Size() - pos)
            return -1;
        std::string path;
        path.assign(reinterpret_cast<const char*>(chunk.Data()) + pos,
                    static_cast<std::size_t>(size));
        pos += size;
        mPresetName.Set(path.empty() ? nullptr : path.c_str());
    }
    mLearnedNotice = false;
    if (!(mControllerMap == mapBefore))
        ++mMapVersion;
    View().ShowPresetName(mPresetName.FullPath().empty() ? PresetName::kNoPresetText
                                                         : mPresetName.Name());
    return pos;
}
