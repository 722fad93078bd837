// IPlugBase: the preset slots that back the host's programs, and the state the host keeps.

#include "IPlugBase.h"
#include "TextUtil.h"

#include <cstdio>
#include <cstring>

namespace
{
constexpr const char* kUserPresetText = "user preset";
}

IPresetSlot* IPlugBase::CurrentSlot() noexcept
{
    if (mCurrentPreset < 0 || mCurrentPreset >= NPresets())
        return nullptr;
    return &mPresets[static_cast<std::size_t>(mCurrentPreset)];
}

void IPlugBase::EnsureDefaultPreset()
{
    if (mPresets.empty())
    {
        IPresetSlot& slot = mPresets.emplace_back();
        orx::CopyText(slot.mName, sizeof(slot.mName), "- 1 -");
    }
    for (IPresetSlot& slot : mPresets)
    {
        if (!slot.mInitialised)
        {
            slot.mInitialised = true;
            orx::CopyText(slot.mName, sizeof(slot.mName), "Default");
            slot.mChunk.Clear();
            WriteParamValues(slot.mChunk, false);
            break;
        }
    }
}

bool IPlugBase::LoadPresetSlot(int idx)
{
    if (idx < 0 || idx >= NPresets())
        return false;
    IPresetSlot& slot = mPresets[static_cast<std::size_t>(idx)];
    bool ok;
    if (slot.mInitialised)
        ok = UnserializeParams(slot.mChunk, 0, false) > 0;
    else
    {
        NextUserPresetName(slot.mName, sizeof(slot.mName));
        slot.mInitialised = true;
        slot.mChunk.Clear();
        ok = WriteParamValues(slot.mChunk, false);
    }
    if (ok)
    {
        mCurrentPreset = idx;
        PushValuesToEditor();
    }
    return ok;
}

void IPlugBase::StoreCurrentPreset(const char* name)
{
    IPresetSlot* slot = CurrentSlot();
    if (!slot)
        return;
    slot->mChunk.Clear();
    WriteParamValues(slot->mChunk, false);
    if (name && name[0])
        orx::CopyText(slot->mName, sizeof(slot->mName), name);
}

const char* IPlugBase::PresetSlotName(int idx) const noexcept
{
    if (idx < 0 || idx >= NPresets())
        return "";
    return mPresets[static_cast<std::size_t>(idx)].mName;
}

void IPlugBase::NextUserPresetName(char* out, int size) const noexcept
{
    if (!out || size <= 0)
        return;
    int count = 0;
    for (const IPresetSlot& slot : mPresets)
        if (std::strstr(slot.mName, kUserPresetText))
            ++count;
    std::snprintf(out, static_cast<std::size_t>(size), "%s %d", kUserPresetText, count + 1);
}

bool IPlugBase::WriteHostChunk(IByteChunk& chunk, bool bank)
{
    ORX_MAIN_THREAD_LOCKED(mMutex);
    chunk.Clear();
    if (!chunk.Put(kChunkMagic) || !chunk.Put(kChunkVersion))
        return false;
    if (bank)
        StoreCurrentPreset();
    return WriteState(chunk);
}

bool IPlugBase::ReadHostChunk(const IByteChunk& chunk, bool bank)
{
    ORX_MAIN_THREAD_LOCKED(mMutex);
    int32_t magic = 0;
    int32_t version = 0;
    int pos = 0;
    if (chunk.Get(&magic, 0) >= 0 && magic == kChunkMagic)
        pos = chunk.Get(&version, 4);
    BeginHostLoad();
    const int end = ReadState(chunk, pos);
    EndHostLoad();
    if (!bank || version < kChunkVersion)
        StoreCurrentPreset();
    if (end < 0)
        return false;
    PushValuesToEditor();
    return true;
}
