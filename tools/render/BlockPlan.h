#pragma once
// The transport the renderer plays, cut into process calls: where each block starts on the
// render's own timeline and at which host position, how many frames it holds, and whether the
// transport is reported playing. Blocks end early at the stop sample and at the loop's end, as
// a host cuts its cycle there, so the plug-in sees a stop or a jump exactly at its sample
// whatever the block size.

#include <cstdint>

namespace orxrender
{

struct TransportPlan
{
    static constexpr int kRandomMaxBlock = 2048;

    int64_t mStart = 0;  // host position (and timeline sample) of the first frame
    int64_t mLength = 0; // frames the render lasts
    int mBlock = 512;    // frames per process call when not random
    bool mRandomBlocks = false;
    uint64_t mSeed = 0;   // random block sizes 1..kRandomMaxBlock from this seed
    int64_t mStopAt = -1; // timeline sample from which the transport is stopped; -1: never
    int64_t mLoopStart = -1;
    int64_t mLoopEnd = -1; // the host position jumps to mLoopStart on reaching it; -1: no loop

    bool HasLoop() const noexcept { return mLoopEnd >= 0; }
    // The most frames one block can hold (what the host announces as its block size).
    int MaxBlock() const noexcept { return mRandomBlocks ? kRandomMaxBlock : mBlock; }
};

struct Block
{
    int64_t mTimeline = 0; // first frame on the render's timeline
    int64_t mPosition = 0; // host position reported for the first frame
    int mFrames = 0;
    bool mPlaying = true;
};

// A seeded generator (SplitMix64) with the same sequence on every platform.
class SeededRandom
{
public:
    explicit SeededRandom(uint64_t seed) noexcept : mState(seed) {}
    uint64_t Next() noexcept;

private:
    uint64_t mState;
};

class BlockSequence
{
public:
    explicit BlockSequence(const TransportPlan& plan) noexcept;
    // The next block; false once the render's length is played.
    bool Next(Block* block) noexcept;
    int64_t FramesDone() const noexcept { return mTimeline - mPlan.mStart; }

private:
    TransportPlan mPlan;
    SeededRandom mRandom;
    int64_t mTimeline;
    int64_t mPosition;
};

} // namespace orxrender
