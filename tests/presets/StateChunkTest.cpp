#include "StateChunk.h"

#include <gtest/gtest.h>

namespace
{
IByteChunk Written(const ChordProgression& p, const GrooveMaker& g)
{
    IByteChunk c;
    EXPECT_TRUE(WritePatternState(c, p, g));
    return c;
}

void PutInt(IByteChunk& c, int pos, int32_t v)
{
    std::memcpy(c.Data() + pos, &v, 4);
}
} // namespace

TEST(StateChunk, LayoutSizesAndOffsets)
{
    ChordProgression p;
    GrooveMaker g;
    g.SetVelocity(0, 300);
    const IByteChunk c = Written(p, g);
    EXPECT_EQ(c.Size(), kProgressionStateSize + kGrooveStateSize);
    EXPECT_EQ(c.Size(), 3676); // 5684 with the header and 250 doubles
    int32_t v = 0;
    c.Get(&v, 0);
    EXPECT_EQ(v, 12);
    c.Get(&v, 4);
    EXPECT_EQ(v, 48);
    // Chord step 0, melody 0, pitch set 0: playing, base and saved mask of the factory pattern.
    c.Get(&v, 12 + 9 + 4);
    EXPECT_EQ(v, 4);
    c.Get(&v, 12 + 9 + 4 + 4);
    EXPECT_EQ(v, 4);
    c.Get(&v, 3624);
    EXPECT_EQ(v, 48);
    uint8_t b = 0;
    c.Get(&b, 3628);
    EXPECT_EQ(b, 44); // 300 keeps its low eight bits
}

TEST(StateChunk, ReadReproducesEveryStoredField)
{
    ChordProgression a;
    GrooveMaker ga;
    a.SetStepCount(5);
    a.SetBeginStep(3);
    Melody& m = *a.GetMelody(7, 2);
    m.mRepeatCount = 9;
    m.mEnabled = false;
    m.mSpare[2] = 1234;
    m.mPitchSets[1].mPlayingMask = 17;
    m.mPitchSets[1].mBaseMask = 3;
    m.mPitchSets[1].mSavedMask = 8;
    a.GetStep(7)->mChordDegree = 6;
    ga.SetNumStepsActive(16);
    ga.SetVelocity(5, 64);

    ChordProgression b;
    GrooveMaker gb;
    const IByteChunk c = Written(a, ga);
    EXPECT_EQ(ReadPatternState(c, 0, b, gb), c.Size());
    EXPECT_EQ(b.StepCount(), 5);
    EXPECT_EQ(b.BeginStep(), 3);
    const Melody& n = *b.GetMelody(7, 2);
    EXPECT_EQ(n.mRepeatCount, 9);
    EXPECT_FALSE(n.mEnabled);
    EXPECT_EQ(n.mSpare[2], 1234);
    EXPECT_EQ(n.mPitchSets[1].mPlayingMask, 17);
    EXPECT_EQ(n.mPitchSets[1].mBaseMask, 3);
    EXPECT_EQ(n.mPitchSets[1].mSavedMask, 8);
    EXPECT_EQ(n.mBasePitchSets[1].mPlayingMask, 17);
    EXPECT_EQ(b.GetStep(7)->mChordDegree, 6);
    EXPECT_FALSE(b.GetStep(2)->mActive);
    EXPECT_TRUE(b.GetStep(3)->mActive);
    EXPECT_EQ(gb.NumStepsActive(), 16);
    EXPECT_EQ(gb.Velocity(5), 64);
    // Writing again gives the same bytes.
    const IByteChunk again = Written(b, gb);
    ASSERT_EQ(again.Size(), c.Size());
    EXPECT_EQ(std::memcmp(again.Data(), c.Data(), c.Size()), 0);
}

TEST(StateChunk, CutChunkLeavesWhatItDoesNotReach)
{
    ChordProgression a;
    GrooveMaker ga;
    a.GetMelody(0, 0)->mRepeatCount = 3;
    a.GetMelody(11, 3)->mRepeatCount = 4;
    for (int i = 0; i < 48; ++i)
        ga.SetVelocity(i, 10);
    IByteChunk c = Written(a, ga);
    // Cut in the middle of the groove velocities.
    c.SetSize(kProgressionStateSize + 4 + 20);

    ChordProgression b;
    GrooveMaker gb;
    EXPECT_EQ(ReadPatternState(c, 0, b, gb), -1);
    EXPECT_EQ(b.GetMelody(11, 3)->mRepeatCount, 4);
    EXPECT_EQ(gb.Velocity(19), 10);
    // Steps the chunk does not reach keep their velocities.
    EXPECT_EQ(gb.Velocity(20), 128);
    EXPECT_EQ(gb.Velocity(47), 128);

    // Cut inside chord step 0: later steps are untouched.
    c.SetSize(40);
    ChordProgression d;
    d.GetMelody(5, 1)->mRepeatCount = 7;
    EXPECT_EQ(ReadPatternState(c, 0, d, gb), -1);
    EXPECT_EQ(d.GetMelody(5, 1)->mRepeatCount, 7);
    EXPECT_EQ(ReadPatternState(c, -1, d, gb), -1);
}

TEST(StateChunk, DamagedValuesComeBackInRange)
{
    ChordProgression a;
    GrooveMaker ga;
    IByteChunk c = Written(a, ga);
    PutInt(c, 0, 0);                     // step count
    PutInt(c, 8, -5);                    // begin step
    PutInt(c, 12, -3);                   // chord degree of step 0
    PutInt(c, 12 + 9, 0);                // pulse count of melody 0
    PutInt(c, 12 + 9 + 4, -1);           // playing mask
    PutInt(c, kProgressionStateSize, 0); // active groove steps
    ChordProgression b;
    GrooveMaker gb;
    EXPECT_EQ(ReadPatternState(c, 0, b, gb), c.Size());
    EXPECT_EQ(b.StepCount(), 1);
    EXPECT_EQ(b.BeginStep(), 0);
    EXPECT_EQ(b.GetStep(0)->mChordDegree, 0);
    EXPECT_GE(b.GetMelody(0, 0)->mNumPulses, 1);
    EXPECT_EQ(b.GetMelody(0, 0)->mPitchSets[0].mPlayingMask, 31);
    EXPECT_EQ(gb.NumStepsActive(), 1);
}
