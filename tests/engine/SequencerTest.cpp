#include "CheckCapture.h"
#include "MelodyModifierSequencer.h"
#include "StrikeModifierSequencer.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// The cursor after each of n steps.
std::vector<int> Walk(SequencerBase& s, int n)
{
    std::vector<int> out;
    for (int i = 0; i < n; ++i)
    {
        s.Step();
        out.push_back(s.Cursor());
    }
    return out;
}
} // namespace

TEST(Sequencer, DirectionModesOverASpan)
{
    StrikeModifierSequencer s;
    s.SetStart(2);
    s.SetLength(3);
    s.Rewind();
    EXPECT_EQ(s.Cursor(), 2);
    EXPECT_EQ(Walk(s, 6), (std::vector<int>{3, 4, 2, 3, 4, 2}));

    s.SetMode(kModeBack);
    s.Rewind();
    EXPECT_EQ(s.Cursor(), 4);
    EXPECT_EQ(Walk(s, 4), (std::vector<int>{3, 2, 4, 3}));

    StrikeModifierSequencer p;
    p.SetLength(4);
    p.SetMode(kModeFwdBack);
    p.Rewind();
    EXPECT_EQ(Walk(p, 8), (std::vector<int>{1, 2, 3, 2, 1, 0, 1, 2}));
    p.SetMode(kModeBackFwd);
    p.Rewind();
    EXPECT_EQ(p.Cursor(), 3);
    EXPECT_EQ(Walk(p, 8), (std::vector<int>{2, 1, 0, 1, 2, 3, 2, 1}));

    // An unknown mode keeps the cursor.
    p.SetMode(9);
    EXPECT_EQ(Walk(p, 2), (std::vector<int>{1, 1}));
}

TEST(Sequencer, RandomModeStaysInsideTheSpan)
{
    CheckCapture checks;
    MelodyModifierSequencer s;
    s.SetStart(3);
    s.SetLength(4);
    s.SetMode(kModeRandom);
    int seen[8] = {};
    bool repeated = false;
    int last = -1;
    for (int i = 0; i < 400; ++i)
    {
        s.Step();
        ASSERT_GE(s.Cursor(), 3);
        ASSERT_LE(s.Cursor(), 6);
        ++seen[s.Cursor()];
        repeated |= s.Cursor() == last;
        last = s.Cursor();
    }
    for (int i = 3; i <= 6; ++i)
        EXPECT_GT(seen[i], 50) << i;
    EXPECT_TRUE(repeated);
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
}

TEST(Sequencer, SpanEdges)
{
    // "Begin" 8 with length 8: end is held at 7, a span of one position.
    for (int mode = kModeFwd; mode < kNumSequencerModes; ++mode)
    {
        StrikeModifierSequencer s;
        s.SetMode(mode);
        s.SetStart(7);
        s.SetLength(8);
        EXPECT_EQ(s.EndPosition(), 7);
        s.Rewind();
        EXPECT_EQ(Walk(s, 4), (std::vector<int>{7, 7, 7, 7})) << mode;
    }

    StrikeModifierSequencer s;
    s.SetStart(5);
    s.SetLength(8); // start 5, end 7
    EXPECT_EQ(s.EndPosition(), 7);
    // A length below the cursor lowers it to the new end.
    s.SetStart(0);
    s.SetLength(8);
    s.SetPosition(6);
    s.SetLength(3);
    EXPECT_EQ(s.Cursor(), 2);
    // A start above the cursor raises it.
    s.SetStart(4);
    EXPECT_EQ(s.Cursor(), 4);
    EXPECT_EQ(s.EndPosition(), 6);
    // A start that lowers the end leaves a cursor beyond it; the next step brings it back.
    s.SetPosition(2); // cursor 6
    ASSERT_EQ(s.Cursor(), 6);
    s.SetStart(1);
    EXPECT_EQ(s.EndPosition(), 3);
    EXPECT_EQ(s.Cursor(), 6);
    s.Step();
    EXPECT_EQ(s.Cursor(), 1);
    // Values outside the positions are ignored.
    s.SetStart(8);
    s.SetStart(-1);
    s.SetLength(0);
    s.SetLength(9);
    EXPECT_EQ(s.StartPosition(), 1);
    EXPECT_EQ(s.Length(), 3);
}

TEST(Sequencer, CountPerStepAndRunning)
{
    StrikeModifierSequencer s;
    s.SetCountPerStep(3);
    std::vector<bool> stepped;
    for (int i = 0; i < 7; ++i)
        stepped.push_back(s.Pulse());
    EXPECT_EQ(stepped, (std::vector<bool>{false, false, true, false, false, true, false}));
    EXPECT_EQ(s.Cursor(), 2);
    s.SetRunning(false);
    EXPECT_FALSE(s.Pulse());
    EXPECT_FALSE(s.Pulse());
    EXPECT_EQ(s.Cursor(), 2);
    s.SetCountPerStep(0);
    EXPECT_EQ(s.CountPerStep(), 1);
}

TEST(Sequencer, SetPositionIsWhereTheCountedPulsesLead)
{
    StrikeModifierSequencer s;
    s.SetStart(2);
    s.SetLength(4);
    s.SetCountPerStep(3);
    s.SetPosition(17);
    EXPECT_EQ(s.Countdown(), 17 % 3);
    EXPECT_EQ(s.Cursor(), 2 + (17 / 3) % 4);
    s.SetPosition(-5);
    EXPECT_EQ(s.Cursor(), 2);
}

TEST(Sequencer, ProbabilityTests)
{
    StrikeModifierSequencer always;
    int passes = 0;
    for (int i = 0; i < 1000; ++i)
        passes += always.ProbabilityTest();
    EXPECT_EQ(passes, 1000);

    StrikeModifierSequencer never;
    never.SetAllProbabilities(0.0);
    passes = 0;
    for (int i = 0; i < 1000; ++i)
        passes += never.ProbabilityTest();
    EXPECT_EQ(passes, 0);

    StrikeModifierSequencer half;
    half.SetAllProbabilities(0.5);
    passes = 0;
    for (int i = 0; i < 4000; ++i)
        passes += half.ProbabilityTest();
    EXPECT_NEAR(passes / 4000.0, 0.5, 0.03);

    // The test reads the probability of the step at the cursor.
    StrikeModifierSequencer one;
    one.SetAllProbabilities(0.0);
    one.SetProbability(3, 1.0);
    one.SetPosition(3);
    EXPECT_TRUE(one.ProbabilityTest());
}

TEST(Sequencer, StepAccessOutsideTheStepsReports)
{
    StrikeModifierSequencer s;
    CheckCapture checks;
    s.SetStepValue(8, kStrikeFlip);
    EXPECT_TRUE(checks.Fired("src/Sequencer", "0 <= idx && idx < SIZE"));
    s.SetStepPermanence(-1, kPermanent);
    EXPECT_EQ(s.StepAt(7).mValue, kStrikeNone);
    EXPECT_EQ(s.StepAt(0).mPermanence, kTemporary);
    checks.Clear();
    EXPECT_EQ(s.StepAt(8).mValue, kStrikeNone);
    EXPECT_TRUE(checks.Fired("src/Sequencer", "idx >= 0 && idx < SIZE"));
    s.SetStepValue(3, kStrikeFlip);
    s.SetStepPermanence(3, kPermanent);
    EXPECT_EQ(s.StepAt(3).mValue, kStrikeFlip);
    EXPECT_EQ(s.StepAt(3).mPermanence, kPermanent);
}
