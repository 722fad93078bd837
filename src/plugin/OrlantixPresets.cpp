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
    // Only the copy is made under the lock; the text and the file are made from it without:
    // formatting and a slow disk must not hold up the audio thread.
    auto content = std::make_unique<PresetContent>();
    content->mValues.resize(static_cast<size_t>(NParams()));
    {
        IMutexLock lock(Mutex());
        CopyPresetContent(*this, mEngine.mProgression, mEngine.mGroove, *content);
        content->mExtras.mMap = mControllerMap;
        content->mExtras.mKeyPlayMode = static_cast<int>(mEngine.mKeys.Mode());
    }
    if (!WriteFileSafely(path, PresetText(*this, *content)))
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
    // Read before the lock is taken: scanning the text and finding the parameters by name is
    // the slow part, and needs nothing that changes.
    const PresetImage image = ReadPresetImage(data, size, *this);
    PresetName name;
    name.Set(path);
    double before[kNumDeclaredParams];
    double after[kNumDeclaredParams];
    // Nothing in here allocates or frees (the name was made above, the old one goes below):
    // the audio thread may run it.
    Mutex().Run(
        [&]() noexcept
        {
            for (int i = 0; i < kNumDeclaredParams; ++i)
                before[i] = GetParam(i)->Value();

            // A preset starts from the full span; its own span parameters follow with the handlers.
            mEngine.mProgression.Reset();
            mEngine.mPlayer.UpdateSpan();
            mEngine.mPlayer.Rewind();
            View().ShowSpan(0, MAX_STEPS);

            ApplyPresetImage(image, *this, mEngine.mProgression, mEngine.mGroove);
            // The key-play mode belongs to the pattern: a preset without its line plays no keys.
            // The map is the musician's set-up: a preset without map lines (every factory one)
            // keeps it.
            mEngine.mKeys.SetMode(static_cast<KeyPlayMode>(image.mExtras.mKeyPlayMode));
            if (image.mExtras.mMapLines > 0)
            {
                mControllerMap = image.mExtras.mMap;
                ++mMapVersion;
            }
            for (int i = 0; i < NParams(); ++i)
                HandleParamChange(i);

            mPresetName.Swap(name);
            View().ShowPresetName(mPresetName.Name());
            View().RedrawAll();
            PushValuesToEditor();
            for (int i = 0; i < kNumDeclaredParams; ++i)
                after[i] = GetParam(i)->Value();
        });
    // The host's views of its parameters follow the preset: it hears of each one that moved,
    // with its value when it is told. The load is in place: what is left holds the lock briefly.
    bool moved[kNumDeclaredParams];
    for (int i = 0; i < kNumDeclaredParams; ++i)
    {
        const IParameter* param = GetParam(i);
        moved[i] = param->ToNormalised(after[i]) != param->ToNormalised(before[i]);
    }
    Mutex().Run(
        [&]() noexcept
        {
            for (int i = 0; i < kNumDeclaredParams; ++i)
                if (moved[i])
                    InformHostOfParamChange(i, GetParam(i)->Normalised());
            InformHostOfStateChange();
        });
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
    const std::shared_ptr<const PresetFolder> tree = SharedPresetTree();
    ORX_CHECK(kTag, tree != nullptr, "mpPresetTree != 0");
    const PresetFile* file = tree ? tree->FindFile(n) : nullptr;
    std::string path;
    if (!file || !PresetFolder::FilePath(*file, path))
        return false;
    return ReadPreset(path.c_str());
}

void Orlantix::RebuildPresetTree()
{
    ORX_MAIN_THREAD();
    std::shared_ptr<const PresetFolder> tree =
        BuildPresetTree(mConfigPool.StringValue(kConfigPresetFolder));
    {
        IMutexLock lock(Mutex());
        mpPresetTree.swap(tree);
        View().PresetTreeChanged();
    }
    // The old tree goes here, after the lock, unless a menu still holds it.
}

std::shared_ptr<const PresetFolder> Orlantix::SharedPresetTree() noexcept
{
    // A copy only counts a reference; the tree is never freed in here.
    std::shared_ptr<const PresetFolder> tree;
    Mutex().Run([&]() noexcept { tree = mpPresetTree; });
    return tree;
}
