#include "ChordProgressionPlayer.h"

#include "CheckCapture.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct PlayerFixture
{
    ChordProgression mProgression;
    ChordProgressionPlayer mPlayer{mProgression};

    explicit PlayerFixture(int steps = 12, int begin = 0, int pulses = 4)
    {
        mProgression.SetStepCount(steps);
        mProgression.SetBeginStep(begin);
        mProgression.SetPulsesPerChord(pulses);
        mPlayer.SetPositionsPerChord(pulses);
        mPlayer.UpdateSpan();
        mPlayer.SetPosition(0);
    }

    // Plays through `passes` entries of chord `step`, answering the melody chosen at each.
    std::vector<int> MelodiesOnEntry(int step, int passes)
    {
        std::vector<int> out;
        while (static_cast<int>(out.size()) < passes)
        {
            const int before = mPlayer.CurrentChord();
            mPlayer.NextPulse();
            if (mPlayer.CurrentChord() == step && before != step)
                out.push_back(mPlayer.CurrentVariation());
        }
        return out;
    }
};
} // namespace

TEST(ChordProgressionPlayer, FourStepsOfFourPulsesRunAndWrap)
{
    PlayerFixture f(4);
    EXPECT_EQ(f.mPlayer.StartPosition(), 0);
    EXPECT_EQ(f.mPlayer.EndPosition(), 15);
    for (int i = 1; i <= 40; ++i)
    {
        f.mPlayer.NextPulse();
        ASSERT_EQ(f.mPlayer.Cursor(), i % 16);
        ASSERT_EQ(f.mPlayer.CurrentChord(), (i % 16) / 4);
        ASSERT_EQ(f.mPlayer.PulseInChord(), i % 4);
    }
}

TEST(ChordProgressionPlayer, BackwardsPlaysThePulsesOfEachChordInReverse)
{
    PlayerFixture f(4);
    f.mPlayer.SetMode(kModeBack);
    std::vector<int> pulses, chords;
    for (int i = 0; i < 8; ++i)
    {
        f.mPlayer.NextPulse();
        pulses.push_back(f.mPlayer.PulseInChord());
        chords.push_back(f.mPlayer.CurrentChord());
    }
    EXPECT_EQ(pulses, (std::vector<int>{3, 2, 1, 0, 3, 2, 1, 0}));
    EXPECT_EQ(chords, (std::vector<int>{3, 3, 3, 3, 2, 2, 2, 2}));
}

TEST(ChordProgressionPlayer, SpanFollowsBeginCountAndPulses)
{
    PlayerFixture f(12, 5);
    EXPECT_EQ(f.mPlayer.StartPosition(), 20);
    EXPECT_EQ(f.mPlayer.EndPosition(), 47);
    PlayerFixture g(12, 0, 3);
    EXPECT_EQ(g.mPlayer.EndPosition(), 35);
    for (int i = 0; i < 80; ++i)
    {
        g.mPlayer.NextPulse();
        ASSERT_LT(g.mPlayer.PulseInChord(), 3);
        ASSERT_LE(g.mPlayer.CurrentChord(), 11);
    }
}

TEST(ChordProgressionPlayer, RepeatCountsChooseTheMelodyOfEachPass)
{
    PlayerFixture f(2);
    const int counts[4] = {2, 1, 0, 3};
    for (int v = 0; v < 4; ++v)
        f.mProgression.GetMelody(1, v)->mRepeatCount = counts[v];
    EXPECT_EQ(f.MelodiesOnEntry(1, 9), (std::vector<int>{0, 0, 1, 2, 3, 3, 3, 0, 0}));
}

TEST(ChordProgressionPlayer, DisabledAndMutedMelodiesAreSkipped)
{
    PlayerFixture f(2);
    f.mProgression.GetMelody(1, 1)->mEnabled = false;
    f.mProgression.GetMelody(1, 2)->mMuted = true;
    EXPECT_EQ(f.MelodiesOnEntry(1, 6), (std::vector<int>{0, 3, 0, 3, 0, 3}));

    // With all four muted, entering moves the melody on by one and plays it.
    PlayerFixture g(2);
    g.mProgression.SetRowMute(0, true);
    g.mProgression.SetRowMute(1, true);
    g.mProgression.SetRowMute(2, true);
    g.mProgression.SetRowMute(3, true);
    EXPECT_EQ(g.MelodiesOnEntry(1, 5), (std::vector<int>{1, 2, 3, 0, 1}));
}

TEST(ChordProgressionPlayer, TheStartingChordIsNotEnteredOnItsFirstPass)
{
    PlayerFixture f(2);
    for (int i = 0; i < 3; ++i)
        f.mPlayer.NextPulse();
    EXPECT_EQ(f.mPlayer.CursorOf(0).mPlayCount, 0);
    for (int i = 0; i < 5; ++i)
        f.mPlayer.NextPulse();
    EXPECT_EQ(f.mPlayer.CurrentChord(), 0);
    EXPECT_EQ(f.mPlayer.CursorOf(0).mPlayCount, 1);
    EXPECT_EQ(f.mPlayer.CursorOf(1).mPlayCount, 1);
}

TEST(ChordProgressionPlayer, ASingleChordNeverChangesItsMelody)
{
    PlayerFixture f(1);
    f.mProgression.GetMelody(0, 0)->mRepeatCount = 0;
    for (int i = 0; i < 40; ++i)
    {
        f.mPlayer.NextPulse();
        ASSERT_EQ(f.mPlayer.CurrentChord(), 0);
        ASSERT_EQ(f.mPlayer.CurrentVariation(), 0);
    }
}

TEST(ChordProgressionPlayer, RandomPositionsCountEveryEntry)
{
    PlayerFixture f(4);
    f.mPlayer.SetMode(kModeRandom);
    int entries[4] = {};
    int changes = 0;
    for (int i = 0; i < 400; ++i)
    {
        const int before = f.mPlayer.CurrentChord();
        f.mPlayer.NextPulse();
        const int h = f.mPlayer.CurrentChord();
        ASSERT_LE(f.mPlayer.Cursor(), 15);
        if (h == before)
            continue;
        ++changes;
        ++entries[h];
        // Repeat count 1 everywhere: every entry after the first moves the melody on.
        ASSERT_EQ(f.mPlayer.CurrentVariation(), (entries[h] - 1) % 4) << i;
        ASSERT_EQ(f.mPlayer.CursorOf(h).mPlayCount, 1);
    }
    EXPECT_GT(changes, 200);
}

TEST(ChordProgressionPlayer, SetPositionPlacesChordPulseAndCursor)
{
    PlayerFixture f(6, 2);
    f.mPlayer.CursorOf(3).mCurrentMelody = 2;
    f.mPlayer.CursorOf(3).mPlayCount = 5;
    f.mPlayer.SetPosition(30); // r = 30 mod 24 = 6: chord 2 + 1, pulse 2
    EXPECT_EQ(f.mPlayer.CurrentChord(), 3);
    EXPECT_EQ(f.mPlayer.PulseInChord(), 2);
    EXPECT_EQ(f.mPlayer.Cursor(), 8 + 6);
    EXPECT_EQ(f.mPlayer.CursorOf(3).mCurrentMelody, 0);
    EXPECT_EQ(f.mPlayer.CursorOf(3).mPlayCount, 5);

    // A span reaching past the last chord step keeps the current chord inside the progression.
    PlayerFixture g(5, 10);
    g.mPlayer.SetPosition(19);
    EXPECT_EQ(g.mPlayer.CurrentChord(), 11);
    g.mPlayer.NextPulse();
    EXPECT_LE(g.mPlayer.CurrentChord(), 11);
}

TEST(ChordProgressionPlayer, APulseCountOfZeroReportsWithoutDividingByIt)
{
    PlayerFixture f;
    f.mProgression.GetMelody(0, 0)->mNumPulses = 0;
    CheckCapture checks;
    f.mPlayer.SetPosition(13);
    EXPECT_TRUE(checks.Fired("src/Sequencer", "numPulsesPerChord > 0"));
    EXPECT_GE(f.mPlayer.CurrentChord(), 0);
    EXPECT_LE(f.mPlayer.CurrentChord(), 11);
}
