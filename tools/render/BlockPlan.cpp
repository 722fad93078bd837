#include "BlockPlan.h"

#include <algorithm>

namespace orxrender
{

uint64_t SeededRandom::Next() noexcept
{
    mState += 0x9E3779B97F4A7C15ull;
    uint64_t z = mState;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

BlockSequence::BlockSequence(const TransportPlan& plan) noexcept
    : mPlan(plan), mRandom(plan.mSeed), mTimeline(plan.mStart), mPosition(plan.mStart)
{
}

bool BlockSequence::Next(Block* block) noexcept
{
    const int64_t end = mPlan.mStart + mPlan.mLength;
    if (mTimeline >= end)
        return false;
    int64_t frames = mPlan.mRandomBlocks
                         ? 1 + static_cast<int64_t>(mRandom.Next() % TransportPlan::kRandomMaxBlock)
                         : std::max(mPlan.mBlock, 1);
    frames = std::min(frames, end - mTimeline);
    if (mPlan.mStopAt > mTimeline)
        frames = std::min(frames, mPlan.mStopAt - mTimeline);
    if (mPlan.HasLoop() && mPosition < mPlan.mLoopEnd)
        frames = std::min(frames, mPlan.mLoopEnd - mPosition);

    block->mTimeline = mTimeline;
    block->mPosition = mPosition;
    block->mFrames = static_cast<int>(frames);
    block->mPlaying = mPlan.mStopAt < 0 || mTimeline < mPlan.mStopAt;

    mTimeline += frames;
    mPosition += frames;
    // The position runs on while stopped, so the loop applies then too.
    if (mPlan.HasLoop() && mPosition == mPlan.mLoopEnd)
        mPosition = mPlan.mLoopStart;
    return true;
}

} // namespace orxrender
