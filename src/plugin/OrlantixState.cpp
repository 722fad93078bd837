#include "Orlantix.h"

#include "StateChunk.h"
#include "ThreadRole.h"

#include <algorithm>
#include <cmath>

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
        int32_t size = 0;
        if (pos < 0 || (pos = chunk.Get(&size, pos)) < 0 || size < 0 || size > chunk.Size() - pos)
            return;
        const auto* bytes = chunk.Data();
        image.mPath.assign(reinterpret_cast<const char*>(bytes) + pos,
                           static_cast<std::size_t>(size));
        image.mSource.assign(bytes + startPos, bytes + pos + size);
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
    image.mReady = false;
    int pos = 0;
    std::string path;
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
        path.swap(image.mPath);
        pos = startPos + static_cast<int>(n);
    }
    else
    {
        pos = ReadState(chunk, startPos);
        int32_t size = 0;
        if (pos < 0 || (pos = chunk.Get(&size, pos)) < 0 || size < 0 || size > chunk.Size() - pos)
            return -1;
        path.assign(reinterpret_cast<const char*>(chunk.Data()) + pos,
                    static_cast<std::size_t>(size));
        pos += size;
    }
    mPresetName.Set(path.empty() ? nullptr : path.c_str());
    View().ShowPresetName(path.empty() ? PresetName::kNoPresetText : mPresetName.Name());
    return pos;
}
