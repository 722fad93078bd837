// The transport cut into process calls: blocks cover the render exactly, end at stops and loop
// ends, and the random sizes are the same sequence everywhere.

#include "BlockPlan.h"

#include <gtest/gtest.h>

#include <vector>

using namespace orxrender;

namespace
{
std::vector<Block> AllBlocks(const TransportPlan& plan)
{
    std::vector<Block> blocks;
    BlockSequence sequence(plan);
    Block b;
    while (sequence.Next(&b))
        blocks.push_back(b);
    return blocks;
}

// Every block starts where the previous one ended on the timeline.
void ExpectContiguous(const std::vector<Block>& blocks, const TransportPlan& plan)
{
    int64_t t = plan.mStart;
    for (const Block& b : blocks)
    {
        ASSERT_EQ(b.mTimeline, t);
        ASSERT_GE(b.mFrames, 1);
        ASSERT_LE(b.mFrames, plan.MaxBlock());
        t += b.mFrames;
    }
    EXPECT_EQ(t, plan.mStart + plan.mLength);
}
} // namespace

TEST(BlockPlan, FixedBlocksCoverTheRenderWithAShortLastBlock)
{
    TransportPlan plan;
    plan.mStart = 100;
    plan.mLength = 1300;
    plan.mBlock = 512;
    const std::vector<Block> blocks = AllBlocks(plan);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[2].mFrames, 276);
    for (const Block& b : blocks)
    {
        EXPECT_EQ(b.mPosition, b.mTimeline);
        EXPECT_TRUE(b.mPlaying);
    }
    ExpectContiguous(blocks, plan);
}

TEST(BlockPlan, TheStopEndsABlockAndTheTransportStaysStopped)
{
    TransportPlan plan;
    plan.mLength = 2000;
    plan.mBlock = 512;
    plan.mStopAt = 700;
    const std::vector<Block> blocks = AllBlocks(plan);
    ExpectContiguous(blocks, plan);
    for (const Block& b : blocks)
    {
        EXPECT_EQ(b.mPlaying, b.mTimeline < 700) << b.mTimeline;
        EXPECT_EQ(b.mPosition, b.mTimeline); // the position keeps advancing while stopped
    }
    ASSERT_GE(blocks.size(), 2u);
    EXPECT_EQ(blocks[1].mTimeline + blocks[1].mFrames, 700);
    EXPECT_FALSE(blocks[2].mPlaying);
}

TEST(BlockPlan, TheLoopJumpsBackExactlyAtItsEnd)
{
    TransportPlan plan;
    plan.mStart = 50;
    plan.mLength = 1000;
    plan.mBlock = 128;
    plan.mLoopStart = 200;
    plan.mLoopEnd = 500;
    const std::vector<Block> blocks = AllBlocks(plan);
    ExpectContiguous(blocks, plan);
    int jumps = 0;
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i)
    {
        const int64_t end = blocks[i].mPosition + blocks[i].mFrames;
        EXPECT_LE(end, 500);
        if (end == 500)
        {
            EXPECT_EQ(blocks[i + 1].mPosition, 200);
            ++jumps;
        }
        else
        {
            EXPECT_EQ(blocks[i + 1].mPosition, end);
        }
    }
    // 50..500 is the first pass, then 300 frames a pass: 450 + 300 + 250.
    EXPECT_EQ(jumps, 2);
}

TEST(BlockPlan, ALoopBehindTheStartIsNeverReached)
{
    TransportPlan plan;
    plan.mStart = 1000;
    plan.mLength = 600;
    plan.mLoopStart = 0;
    plan.mLoopEnd = 500;
    for (const Block& b : AllBlocks(plan))
        EXPECT_EQ(b.mPosition, b.mTimeline);
}

TEST(BlockPlan, TheLoopGoesOnWhileStopped)
{
    TransportPlan plan;
    plan.mLength = 1000;
    plan.mBlock = 100;
    plan.mStopAt = 150;
    plan.mLoopStart = 0;
    plan.mLoopEnd = 300;
    const std::vector<Block> blocks = AllBlocks(plan);
    ExpectContiguous(blocks, plan);
    bool jumpedWhileStopped = false;
    for (std::size_t i = 1; i < blocks.size(); ++i)
        if (!blocks[i].mPlaying && blocks[i].mPosition == 0)
            jumpedWhileStopped = true;
    EXPECT_TRUE(jumpedWhileStopped);
}

TEST(BlockPlan, RandomSizesAreSeededAndInRange)
{
    TransportPlan plan;
    plan.mLength = 200000;
    plan.mRandomBlocks = true;
    plan.mSeed = 42;
    const std::vector<Block> a = AllBlocks(plan);
    ExpectContiguous(a, plan);
    int smallest = 1 << 30, largest = 0;
    for (std::size_t i = 0; i + 1 < a.size(); ++i) // the last one is cut to fit
    {
        smallest = std::min(smallest, a[i].mFrames);
        largest = std::max(largest, a[i].mFrames);
    }
    EXPECT_LT(smallest, 200);
    EXPECT_GT(largest, 1800);

    const std::vector<Block> again = AllBlocks(plan);
    ASSERT_EQ(again.size(), a.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(again[i].mFrames, a[i].mFrames);

    plan.mSeed = 43;
    const std::vector<Block> other = AllBlocks(plan);
    EXPECT_NE(other[0].mFrames + 4096 * other[1].mFrames, a[0].mFrames + 4096 * a[1].mFrames);
}

TEST(BlockPlan, TheGeneratorSequenceIsFixed)
{
    // SplitMix64's published first outputs for seed 0: the same on every platform and build.
    SeededRandom random(0);
    EXPECT_EQ(random.Next(), 0xE220A8397B1DCDAFull);
    EXPECT_EQ(random.Next(), 0x6E789E6AA1B965F4ull);
}
