// IPlugBase: the undo history of the editor's edits.

#include "IPlugBase.h"

#include <algorithm>

bool IPlugBase::WriteUndoState(IByteChunk& chunk)
{
    ORX_MAIN_THREAD();
    // A state's writer may allocate: not on the audio thread.
    return !IMutex::RunsHandedWork() && WriteState(chunk);
}

int IPlugBase::ReadUndoState(const IByteChunk& chunk, int startPos)
{
    ORX_MAIN_THREAD();
    if (IMutex::RunsHandedWork())
        return kUndoDeclined;
    return ReadState(chunk, startPos);
}

namespace
{
// Room beyond the size of the last state written: a state grows a little between two edits (a
// longer preset name, a longer progression) without the buffer growing under the lock.
constexpr int kStateSlack = 4096;
} // namespace

void IPlugBase::PrepareUndoState(const IByteChunk&, int) noexcept
{
    ORX_MAIN_THREAD();
}

bool IPlugBase::SnapshotUndoState(std::vector<std::uint8_t>& out) noexcept
{
    try
    {
        // WriteUndoState takes the instance lock: it writes into room reserved before, so the
        // audio thread does not wait while the buffer grows, and the copy is made after.
        IByteChunk chunk;
        if (!chunk.Reserve(mUndoStateBytes.load(std::memory_order_relaxed) + kStateSlack) ||
            !WriteUndoState(chunk))
            return false;
        mUndoStateBytes.store(chunk.Size(), std::memory_order_relaxed);
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
        const std::lock_guard<std::mutex> history(mHistoryMutex);
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
    const std::lock_guard<std::mutex> history(mHistoryMutex);
    const char* name = mHistory.UndoName();
    return name ? name : "";
}

std::string IPlugBase::RedoName() const
{
    ORX_MAIN_THREAD();
    const std::lock_guard<std::mutex> history(mHistoryMutex);
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
        // The step is worked out on a copy of the state, without the instance lock.
        std::vector<std::uint8_t> state;
        if (!SnapshotUndoState(state))
            return false;
        IByteChunk chunk;
        IByteChunk now;
        const int declared = std::min(mDeclaredParamCount, NParams());
        std::vector<double> before(static_cast<std::size_t>(declared));
        const int room = static_cast<int>(state.size()) + kStateSlack;
        std::vector<std::uint8_t> target;
        target.reserve(static_cast<std::size_t>(room));
        target = state;
        if (!chunk.Reserve(room) || !now.Reserve(room))
            return false;
        {
            const std::lock_guard<std::mutex> history(mHistoryMutex);
            if (!(undo ? mHistory.Undo(target) : mHistory.Redo(target)))
                return false;
        }
        // Where the step cannot be applied after all, it goes back where it was.
        const auto putBack = [&]
        {
            const std::lock_guard<std::mutex> history(mHistoryMutex);
            std::vector<std::uint8_t> unused;
            undo ? mHistory.Redo(unused) : mHistory.Undo(unused);
            return false;
        };
        if (!chunk.PutBytes(target.data(), static_cast<int>(target.size())))
            return putBack();
        PrepareUndoState(chunk, 0);
        // One change under the lock: the audio thread sees the state before or after. When the
        // audio thread itself makes it (IMutex::Run), anything that would allocate there is
        // declined before the state changes, and the step is made again on this thread.
        enum class Applied
        {
            kDone,
            kPutBack,  // the step goes back where it was
            kFailed,   // the history changed meanwhile, or memory ran out
            kDeclined, // made again here
        };
        const auto apply = [&]() noexcept -> Applied
        {
            const bool handed = IMutex::RunsHandedWork();
            try
            {
                now.Clear();
                if (!WriteUndoState(now))
                    return handed ? Applied::kDeclined : Applied::kPutBack;
                if (static_cast<std::size_t>(now.Size()) != state.size() ||
                    !std::equal(state.begin(), state.end(), now.Data()))
                {
                    // The state moved since the copy (the host's automation, a host load, the
                    // audio thread): the step goes into the state as it is now, so the move
                    // stays.
                    if (handed)
                        return Applied::kDeclined;
                    target.assign(now.Data(), now.Data() + now.Size());
                    const std::lock_guard<std::mutex> history(mHistoryMutex);
                    if (!mHistory.Reapply(undo, target))
                        return Applied::kFailed; // a host load cleared the history meanwhile
                    chunk.Clear();
                    if (!chunk.PutBytes(target.data(), static_cast<int>(target.size())))
                        return Applied::kPutBack;
                }
                for (int i = 0; i < declared; ++i)
                    before[static_cast<std::size_t>(i)] = GetParam(i)->Normalised();
                if (ReadUndoState(chunk, 0) == kUndoDeclined)
                    return Applied::kDeclined;
            }
            catch (...)
            {
                return Applied::kFailed;
            }
            PushValuesToEditor();
            // The host's views follow, each value in a gesture of its own as an edit's would be.
            for (int i = 0; i < declared; ++i)
            {
                const double value = GetParam(i)->Normalised();
                if (value == before[static_cast<std::size_t>(i)])
                    continue;
                mNotices.Record(HostNotices::Kind::kBeginEdit, i);
                mNotices.Record(HostNotices::Kind::kValue, i, value);
                mNotices.Record(HostNotices::Kind::kEndEdit, i);
            }
            mNotices.RecordStateChanged();
            return Applied::kDone;
        };
        Applied applied = Applied::kDeclined;
        // Within its room the state is written without allocating; beyond it, here only.
        now.KeepCapacity(true);
        mMutex.Run([&]() noexcept { applied = apply(); });
        if (applied == Applied::kDeclined)
        {
            now.KeepCapacity(false);
            IMutexLock lock(mMutex);
            applied = apply();
        }
        if (applied == Applied::kPutBack)
            return putBack();
        if (applied != Applied::kDone)
            return false;
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
        const std::lock_guard<std::mutex> history(mHistoryMutex);
        mHistory.Clear();
    }
    mHostLoadBefore.clear();
}

std::size_t IPlugBase::UndoStepCount() const noexcept
{
    ORX_MAIN_THREAD();
    const std::lock_guard<std::mutex> history(mHistoryMutex);
    return mHistory.UndoCount();
}

std::size_t IPlugBase::UndoBytesHeld() const noexcept
{
    ORX_MAIN_THREAD();
    const std::lock_guard<std::mutex> history(mHistoryMutex);
    return mHistory.BytesHeld();
}
