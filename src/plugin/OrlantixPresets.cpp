#include "Orlantix.h"

#include "Check.h"
#include "PresetFolder.h"
#include "PresetText.h"
#include "ThreadRole.h"

bool Orlantix::WritePreset(const char* path)
{
    ORX_MAIN_THREAD();
    if (!path || !*path)
        return false;
    std::string text;
    {
        IMutexLock lock(Mutex());
        ExtraState extra;
        extra.mMap = mControllerMap;
        extra.mKeyPlayMode = static_cast<int>(mEngine.mKeys.Mode());
        text = PresetText(*this, mEngine.mProgression, mEngine.mGroove, extra);
    }
    // The file is written outside the lock: a slow disk must not hold up the audio thread.
    if (!WriteFileSafely(path, text))
        return false;
    IMutexLock lock(Mutex());
    mPresetName.Set(path);
    View().ShowPresetName(mPresetName.Name());
    return true;
}

bool Orlantix::ReadPreset(const char* path)
{
    ORX_MAIN_THREAD();
    std::string text;
    if (!path || !*path || !ReadWholeFile(path, text))
        return false;
    ReadPresetText(text.data(), text.size(), path);
    return true;
}

void Orlantix::ReadPresetText(const char* data, size_t size, const char* path)
{
    ORX_MAIN_THREAD();
    IMutexLock lock(Mutex());
    // The host's views of its parameters follow the preset: it hears of each one that moved.
    double before[kNumDeclaredParams];
    for (int i = 0; i < kNumDeclaredParams; ++i)
        before[i] = GetParam(i)->Normalised();

    // A preset starts from the full span; its own span parameters follow with the handlers.
    mEngine.mProgression.Reset();
    mEngine.mPlayer.UpdateSpan();
    mEngine.mPlayer.Rewind();
    View().ShowSpan(0, MAX_STEPS);

    const PresetReadResult read =
        ApplyPresetText(data, size, *this, mEngine.mProgression, mEngine.mGroove);
    // The key-play mode belongs to the pattern: a preset without its line plays no keys. The
    // map is the musician's set-up: a preset without map lines (every factory one) keeps it.
    mEngine.mKeys.SetMode(static_cast<KeyPlayMode>(read.mExtras.mKeyPlayMode));
    if (read.mExtras.mMapLines > 0)
    {
        mControllerMap = read.mExtras.mMap;
        ++mMapVersion;
    }
    for (int i = 0; i < NParams(); ++i)
        HandleParamChange(i);

    mPresetName.Set(path);
    View().ShowPresetName(mPresetName.Name());
    View().RedrawAll();
    PushValuesToEditor();
    for (int i = 0; i < kNumDeclaredParams; ++i)
        if (const double now = GetParam(i)->Normalised(); now != before[i])
            InformHostOfParamChange(i, now);
    InformHostOfStateChange();
}

std::string Orlantix::SavePresetAs(const std::string& chosen)
{
    ORX_MAIN_THREAD();
    if (chosen.empty())
        return {};
    const std::string path = PresetSavePath(chosen);
    if (!WritePreset(path.c_str()))
        return {};
    RebuildPresetTree();
    return path;
}

bool Orlantix::SavePreset()
{
    ORX_MAIN_THREAD();
    std::string path;
    {
        IMutexLock lock(Mutex());
        path = mPresetName.FullPath();
    }
    return !path.empty() && WritePreset(path.c_str());
}

bool Orlantix::LoadPresetById(int n)
{
    ORX_MAIN_THREAD();
    std::string path;
    {
        IMutexLock lock(Mutex());
        ORX_CHECK(kTag, mpPresetTree != nullptr, "mpPresetTree != 0");
        const PresetFile* file = mpPresetTree ? mpPresetTree->FindFile(n) : nullptr;
        if (!file || !PresetFolder::FilePath(*file, path))
            return false;
    }
    return ReadPreset(path.c_str());
}

void Orlantix::RebuildPresetTree()
{
    ORX_MAIN_THREAD();
    auto tree = BuildPresetTree(mConfigPool.StringValue(kConfigPresetFolder));
    IMutexLock lock(Mutex());
    mpPresetTree = std::move(tree);
    View().PresetTreeChanged();
}
