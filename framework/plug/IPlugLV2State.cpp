// IPlugLV2: the state extension. The state is one chunk property holding the bytes the VST 2
// binding hands its host, so a project moves between the formats through them.

#include "IPlugLV2.h"

#include "IPlugEditor.h"

#include <cstdint>

LV2_State_Status IPlugLV2::SaveState(LV2_State_Store_Function store,
                                     LV2_State_Handle handle) noexcept
{
    ORX_MAIN_THREAD();
    if (!store || !mMapped || !mUrid.mStateKey)
        return LV2_STATE_ERR_UNKNOWN;
    LV2_State_Status status = LV2_STATE_ERR_UNKNOWN;
    {
        IMutexLock lock(Mutex());
        try
        {
            if (WriteHostChunk(mStateChunk, true) && mStateChunk.Size() > 0)
                status = store(handle, mUrid.mStateKey, mStateChunk.Data(),
                               static_cast<size_t>(mStateChunk.Size()), mUrid.mAtomChunk,
                               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
        }
        catch (...)
        {
            status = LV2_STATE_ERR_UNKNOWN;
        }
    }
    return status;
}

LV2_State_Status IPlugLV2::RestoreState(LV2_State_Retrieve_Function retrieve,
                                        LV2_State_Handle handle) noexcept
{
    ORX_MAIN_THREAD();
    if (!retrieve || !mMapped || !mUrid.mStateKey)
        return LV2_STATE_ERR_UNKNOWN;
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    const void* data = retrieve(handle, mUrid.mStateKey, &size, &type, &flags);
    if (!data)
        return LV2_STATE_ERR_NO_PROPERTY;
    if (type != mUrid.mAtomChunk || size > static_cast<size_t>(INT32_MAX))
        return LV2_STATE_ERR_BAD_TYPE;
    bool loaded = false;
    {
        IMutexLock lock(Mutex());
        try
        {
            loaded = mStateChunk.Assign(data, static_cast<int>(size)) &&
                     ReadHostChunk(mStateChunk, true);
        }
        catch (...)
        {
            loaded = false;
        }
        // The state decides the values; the ports the host holds are taken as they are.
        mAdoptPorts = true;
    }
    const IPlugEditor* editor = GetEditor();
    FlushHostNotices(!editor || !editor->IsWindowOpen());
    return loaded ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}
