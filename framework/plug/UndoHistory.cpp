#include "UndoHistory.h"
#include "ThreadRole.h"

#include <algorithm>

namespace
{
// Differing bytes closer than this join one run: a run's record costs more than a few bytes.
constexpr std::size_t kJoinGap = 16;
} // namespace

bool UndoHistory::Record(const std::string& name, std::span<const std::uint8_t> before,
                         std::span<const std::uint8_t> after)
{
    ORX_MAIN_THREAD();
    Step step;
    step.mName = name;
    step.mSizeBefore = before.size();
    step.mSizeAfter = after.size();
    const std::size_t common = std::min(before.size(), after.size());
    const std::size_t longest = std::max(before.size(), after.size());
    // Past the shorter state every byte counts as changed.
    const auto differs = [&](std::size_t i) { return i >= common || before[i] != after[i]; };
    std::size_t i = 0;
    while (i < longest)
    {
        if (!differs(i))
        {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        for (std::size_t gap = 0; end < longest && gap < kJoinGap; ++end)
            gap = differs(end) ? 0 : gap + 1;
        // The run ends at its last differing byte.
        while (end > i + 1 && !differs(end - 1))
            --end;
        Run run;
        run.mOffset = i;
        if (i < before.size())
            run.mBefore.assign(before.begin() + static_cast<std::ptrdiff_t>(i),
                               before.begin() +
                                   static_cast<std::ptrdiff_t>(std::min(end, before.size())));
        if (i < after.size())
            run.mAfter.assign(after.begin() + static_cast<std::ptrdiff_t>(i),
                              after.begin() +
                                  static_cast<std::ptrdiff_t>(std::min(end, after.size())));
        step.mRuns.push_back(std::move(run));
        i = end;
    }
    if (step.mRuns.empty())
        return false;
    step.mBytes = BytesOf(step);
    for (const Step& s : mRedo)
        mBytes -= s.mBytes;
    mRedo.clear();
    mBytes += step.mBytes;
    mUndo.push_back(std::move(step));
    while (mUndo.size() > kMinSteps && mBytes > kBudget)
        DropOldest();
    return true;
}

const char* UndoHistory::UndoName() const noexcept
{
    return mUndo.empty() ? nullptr : mUndo.back().mName.c_str();
}

const char* UndoHistory::RedoName() const noexcept
{
    return mRedo.empty() ? nullptr : mRedo.back().mName.c_str();
}

bool UndoHistory::Undo(std::vector<std::uint8_t>& state)
{
    ORX_MAIN_THREAD();
    if (mUndo.empty())
        return false;
    Apply(mUndo.back(), false, state);
    mRedo.push_back(std::move(mUndo.back()));
    mUndo.pop_back();
    return true;
}

bool UndoHistory::Redo(std::vector<std::uint8_t>& state)
{
    ORX_MAIN_THREAD();
    if (mRedo.empty())
        return false;
    Apply(mRedo.back(), true, state);
    mUndo.push_back(std::move(mRedo.back()));
    mRedo.pop_back();
    return true;
}

bool UndoHistory::Reapply(bool undone, std::vector<std::uint8_t>& state) const
{
    // Undo moved its step to the redo side, Redo to the undo side; each is the newest there.
    const std::deque<Step>& moved = undone ? mRedo : mUndo;
    if (moved.empty())
        return false;
    Apply(moved.back(), !undone, state);
    return true;
}

void UndoHistory::Clear() noexcept
{
    ORX_MAIN_THREAD();
    mUndo.clear();
    mRedo.clear();
    mBytes = 0;
}

void UndoHistory::Apply(const Step& step, bool after, std::vector<std::uint8_t>& state)
{
    state.resize(after ? step.mSizeAfter : step.mSizeBefore);
    for (const Run& run : step.mRuns)
    {
        const std::vector<std::uint8_t>& bytes = after ? run.mAfter : run.mBefore;
        if (run.mOffset >= state.size())
            continue;
        const std::size_t n = std::min(bytes.size(), state.size() - run.mOffset);
        std::copy_n(bytes.begin(), n, state.begin() + static_cast<std::ptrdiff_t>(run.mOffset));
    }
}

std::size_t UndoHistory::BytesOf(const Step& step) noexcept
{
    std::size_t bytes = sizeof(Step) + step.mName.capacity();
    for (const Run& run : step.mRuns)
        bytes += sizeof(Run) + run.mBefore.capacity() + run.mAfter.capacity();
    return bytes;
}

void UndoHistory::DropOldest()
{
    mBytes -= mUndo.front().mBytes;
    mUndo.pop_front();
}
