// IPlugBase: the undo history of the editor's edits.

#include "IPlugBase.h"

#include <algorithm>

bool IPlugBase::WriteUndoState(IByteChunk& chunk)
{
    ORX_MAIN_THREAD();
    return WriteState(chunk);
}

int IPlugBase::ReadUndoState(const IByteChunk& chunk, int startPos)
{
    ORX_MAIN_THREAD();
    return ReadState(chunk, startPos);
}

bool IPlugBase::SnapshotUndoState(std::vector<std::uint8_t>& out) noexcept
{
    try
    {
        IByteChunk chunk;
        if (!WriteUndoState(chunk))
            return false;
        out.assign(chunk.Data(), chunk.Data() + chunk.Size());
        return true;
    }
    catch (...)
    {
        return false;
    }
}

void IPlugBase::BeginEdit(const char* name) noexcept
{
    ORX_MAIN_THREAD();
    if (mEditDepth++ > 0)
        return;
    try
    {
        mEditName = name ? name : "";
    }
    catch (...)
    {
        mEditName.clear();
    }
    if (!SnapshotUndoState(mEditBefore))
        mEditBefore.clear();
}

void IPlugBase::NameEdit(const char* name) noexcept
{
    ORX_MAIN_THREAD();
    if (mEditDepth == 0 || !name)
        return;
    try
    {
        mEditName = name;
    }
    catch (...)
    {
    }
}

void IPlugBase::EndEdit() noexcept
{
    ORX_MAIN_THREAD();
    if (mEditDepth == 0 || --mEditDepth > 0)
        return;
    std::vector<std::uint8_t> after;
    if (mEditBefore.empty() || !SnapshotUndoState(after))
        return;
    try
    {
        IMutexLock lock(mMutex);
        mHistory.Record(mEditName, mEditBefore, after);
    }
    catch (...)
    {
        // Out of memory: the edit stays, without its step.
    }
}

std::string IPlugBase::UndoName() const
{
    ORX_MAIN_THREAD();
    IMutexLock lock(mMutex);
    const char* name = mHistory.UndoName();
    return name ? name : "";
}

std::string IPlugBase::RedoName() const
{
    ORX_MAIN_THREAD();
    IMutexLock lock(mMutex);
    const char* name = mHistory.RedoName();
    return name ? name : "";
}

bool IPlugBase::Undo() noexcept
{
    ORX_MAIN_THREAD();
    return StepHistory(true);
}

bool IPlugBase::Redo() noexcept
{
    ORX_MAIN_THREAD();
    return StepHistory(false);
}

bool IPlugBase::StepHistory(bool undo) noexcept
{
    // Not in the middle of an edit: its step is not recorded yet.
    if (mEditDepth > 0)
        return false;
    try
    {
        {
            // One change under the lock: the audio thread sees the state before or after.
            IMutexLock lock(mMutex);
            std::vector<std::uint8_t> state;
            if (!SnapshotUndoState(state))
                return false;
            if (!(undo ? mHistory.Undo(state) : mHistory.Redo(state)))
                return false;
            const int declared = std::min(mDeclaredParamCount, NParams());
            std::vector<double> before(static_cast<std::size_t>(declared));
            for (int i = 0; i < declared; ++i)
                before[static_cast<std::size_t>(i)] = GetParam(i)->Normalised();
            IByteChunk chunk;
            chunk.PutBytes(state.data(), static_cast<int>(state.size()));
            ReadUndoState(chunk, 0);
            PushValuesToEditor();
            // The host's views follow, each value in a gesture of its own as an edit's would be.
            for (int i = 0; i < declared; ++i)
            {
                const double now = GetParam(i)->Normalised();
                if (now == before[static_cast<std::size_t>(i)])
                    continue;
                mNotices.Record(HostNotices::Kind::kBeginEdit, i);
                mNotices.Record(HostNotices::Kind::kValue, i, now);
                mNotices.Record(HostNotices::Kind::kEndEdit, i);
            }
            mNotices.RecordStateChanged();
        }
        FlushHostNotices(false);
        return true;
    }
    catch (...)
    {
        return false;
    }
}

void IPlugBase::BeginHostLoad() noexcept
{
    ORX_MAIN_THREAD();
    if (!SnapshotUndoState(mHostLoadBefore))
        mHostLoadBefore.clear();
}

void IPlugBase::EndHostLoad() noexcept
{
    ORX_MAIN_THREAD();
    std::vector<std::uint8_t> after;
    const bool same =
        !mHostLoadBefore.empty() && SnapshotUndoState(after) && after == mHostLoadBefore;
    if (!same)
    {
        IMutexLock lock(mMutex);
        mHistory.Clear();
    }
    mHostLoadBefore.clear();
}

std::size_t IPlugBase::UndoStepCount() const noexcept
{
    ORX_MAIN_THREAD();
    IMutexLock lock(mMutex);
    return mHistory.UndoCount();
}

std::size_t IPlugBase::UndoBytesHeld() const noexcept
{
    ORX_MAIN_THREAD();
    IMutexLock lock(mMutex);
    return mHistory.BytesHeld();
}
