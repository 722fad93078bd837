#include "Chord.h"

#include "CheckCapture.h"
#include "Modifiers.h"
#include "Transforms.h"

#include <gtest/gtest.h>

#include <set>

TEST(Chord, ConstructionHoldsTheFactoryPatternInMelodyZero)
{
    ChordProgression p;
    const int pulse0[MAX_STEPS] = {4, 1, 16, 4, 1, 4, 16, 4, 4, 4, 4, 4};
    const int pulse2[MAX_STEPS] = {16, 2, 8, 2, 2, 8, 8, 16, 16, 16, 16, 16};
    EXPECT_EQ(p.BeginStep(), 0);
    EXPECT_EQ(p.StepCount(), 12);
    EXPECT_EQ(p.FixedCount(), 48);
    for (int s = 0; s < MAX_STEPS; ++s)
    {
        const MelodySet& set = *p.GetStep(s);
        EXPECT_TRUE(set.mActive);
        EXPECT_EQ(set.mSpare, 1);
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
        {
            const Melody& m = set.mMelodies[v];
            EXPECT_EQ(m.mNumPulses, 4);
            EXPECT_EQ(m.mRepeatCount, 1);
            EXPECT_TRUE(m.mEnabled);
            EXPECT_FALSE(m.mSolo || m.mMuted || m.mRestorePending);
            for (int q = 0; q < kPitchSetsPerMelody; ++q)
            {
                const int expected = v != 0 ? 0 : (q == 0 ? pulse0[s] : (q == 2 ? pulse2[s] : 0));
                EXPECT_EQ(m.mPitchSets[q].mPlayingMask, expected) << s << "." << v << "/" << q;
                EXPECT_EQ(m.mPitchSets[q].mBaseMask, expected);
                EXPECT_EQ(m.mBasePitchSets[q].mPlayingMask, expected);
            }
        }
    }
}

TEST(Chord, EveryPitchSetHasItsOwnRandomSequence)
{
    ChordProgression p;
    std::set<uint32_t> first;
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            for (int q = 0; q < kPitchSetsPerMelody; ++q)
            {
                PitchSet& set = *p.GetPitchSet(s, v, q);
                EXPECT_NE(set.mRandom.W(), 0u);
                EXPECT_NE(set.mRandom.Z(), 0u);
                first.insert(set.mRandom.Next());
            }
    EXPECT_EQ(first.size(), 192u);
}

TEST(Chord, ActiveStepsFollowTheSpanWithoutWrapping)
{
    ChordProgression p;
    p.SetBeginStep(5);
    for (int i = 0; i < MAX_STEPS; ++i)
        EXPECT_EQ(p.GetStep(i)->mActive, i >= 5) << i;
    p.SetBeginStep(10);
    p.SetStepCount(5);
    for (int i = 0; i < MAX_STEPS; ++i)
        EXPECT_EQ(p.GetStep(i)->mActive, i >= 10) << i;
    p.SetBeginStep(2);
    p.SetStepCount(3);
    for (int i = 0; i < MAX_STEPS; ++i)
        EXPECT_EQ(p.GetStep(i)->mActive, i >= 2 && i <= 4) << i;
    p.GetMelody(3, 1)->mPitchSets[2].mPlayingMask = 9;
    p.Reset();
    EXPECT_EQ(p.BeginStep(), 0);
    EXPECT_EQ(p.StepCount(), 12);
    for (int i = 0; i < MAX_STEPS; ++i)
        EXPECT_TRUE(p.GetStep(i)->mActive);
    EXPECT_EQ(p.GetMelody(3, 1)->mPitchSets[2].mPlayingMask, 9); // melodies untouched
}

TEST(Chord, SpanValuesOutsideTheProgressionReportAndAreHeldInRange)
{
    ChordProgression p;
    CheckCapture checks;
    p.SetStepCount(0);
    EXPECT_TRUE(checks.Fired("src/Chord", "1 <= numSteps && numSteps <= MAX_STEPS"));
    EXPECT_EQ(p.StepCount(), 1);
    p.SetStepCount(13);
    EXPECT_EQ(p.StepCount(), 12);
    p.SetBeginStep(-1);
    EXPECT_TRUE(checks.Fired("src/Chord", "0 <= beginStepIdx && beginStepIdx < MAX_STEPS"));
    EXPECT_EQ(p.BeginStep(), 0);
    p.SetBeginStep(12);
    EXPECT_EQ(p.BeginStep(), 11);
    // A damaged stored form cannot leave an impossible span either.
    p.SetStoredCounts(0, 48, 40);
    EXPECT_EQ(p.StepCount(), 1);
    EXPECT_EQ(p.BeginStep(), 11);
}

// A click toggles the degree as it plays (what the canvas shows); a temporary change pending on
// the pulse or the melody stays pending and temporary, and the click outlives its undoing.
TEST(Chord, ADegreeClickTogglesWhatPlaysAndLeavesTemporaryChangesTemporary)
{
    ChordProgression p;
    Melody& m = *p.GetMelody(0, 0);
    PitchSet& set = m.mPitchSets[0];
    set.mBaseMask = 4;
    // A temporary strike change moved degree 2 to degree 3.
    set.mSavedMask = 4;
    set.mPlayingMask = 8;
    set.mRestorePending = true;
    // Degree 3 sounds, so the click takes it away; it was never in the edited mask.
    ToggleDegree(m, 0, 3);
    EXPECT_EQ(set.mPlayingMask, 0);
    EXPECT_EQ(set.mSavedMask, 4);
    EXPECT_TRUE(set.mRestorePending);
    EXPECT_EQ(set.mBaseMask, 4);
    // Degree 0 goes in now, after the restore and into the edited pattern.
    ToggleDegree(m, 0, 0);
    EXPECT_EQ(set.mPlayingMask, 1);
    EXPECT_EQ(set.mSavedMask, 5);
    EXPECT_TRUE(set.mRestorePending);
    EXPECT_EQ(set.mBaseMask, 5);
    EXPECT_EQ(m.mBasePitchSets[0].mPlayingMask, 5);
    EXPECT_FALSE(m.mBasePitchSets[0].mRestorePending);
    // Degree 2, hidden by the change, goes out of what the restore brings back.
    SetDegree(m, 0, 2, false);
    EXPECT_EQ(set.mPlayingMask, 1);
    EXPECT_EQ(set.mSavedMask, 1);
    EXPECT_EQ(set.mBaseMask, 1);

    // A temporary melody change pending (every pulse up one): the pitch sets it restores take
    // the click, and the edited pattern is the melody as it will be after the restore.
    Melody& r = *p.GetMelody(1, 2);
    for (int q = 0; q < 4; ++q)
        r.mPitchSets[q].mPlayingMask = r.mPitchSets[q].mBaseMask = 1 << q;
    MelodyTransform(r, kMelodyUp1, false);
    ToggleDegree(r, 1, 0);
    EXPECT_EQ(r.mPitchSets[1].mPlayingMask, 4 | 1);
    EXPECT_TRUE(r.mRestorePending);
    EXPECT_EQ(r.mSavedPitchSets[1].mPlayingMask, 2 | 1);
    EXPECT_EQ(r.mSavedPitchSets[1].mBaseMask, 2 | 1);
    EXPECT_EQ(r.mPitchSets[1].mBaseMask, 2 | 1);
    for (int q = 0; q < 4; ++q)
        EXPECT_EQ(r.mBasePitchSets[q].mPlayingMask, q == 1 ? 3 : 1 << q) << q;

    // Outside the melody: nothing.
    ToggleDegree(m, 4, 0);
    ToggleDegree(m, 0, 5);
    SetDegree(m, -1, 0, true);
    EXPECT_EQ(set.mPlayingMask, 1);
    EXPECT_EQ(set.mSavedMask, 1);
}

TEST(Chord, RowFlagsCoverAllTwelveChordSteps)
{
    ChordProgression p;
    p.SetRowSolo(2, true);
    p.SetRowMute(1, true);
    for (int s = 0; s < MAX_STEPS; ++s)
    {
        EXPECT_TRUE(p.GetMelody(s, 2)->mSolo);
        EXPECT_TRUE(p.GetMelody(s, 1)->mMuted);
        EXPECT_FALSE(p.GetMelody(s, 0)->mSolo || p.GetMelody(s, 0)->mMuted);
    }
    CheckCapture checks;
    p.SetRowMute(4, true);
    EXPECT_TRUE(
        checks.Fired("src/Chord", "rowNumber >= 0 && rowNumber < MAX_VARIATIONS_PER_CHORD"));
}

TEST(Chord, AccessorsReportIndicesOutsideTheProgressionAndAnswerNull)
{
    ChordProgression p;
    CheckCapture checks;
    EXPECT_EQ(p.GetStep(12), nullptr);
    EXPECT_TRUE(checks.Fired("src/Chord", "stepIdx >= 0 && stepIdx < MAX_STEPS"));
    EXPECT_EQ(p.GetMelody(0, 4), nullptr);
    EXPECT_TRUE(
        checks.Fired("src/Chord", "variationIdx >= 0 && variationIdx < MAX_VARIATIONS_PER_CHORD"));
    EXPECT_EQ(p.GetMelody(-1, 0), nullptr);
    EXPECT_EQ(p.GetPitchSet(0, 0, 4), nullptr);
    checks.Clear();
    EXPECT_NE(p.GetPitchSet(11, 3, 3), nullptr);
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
    EXPECT_EQ(ClampPulseCount(0), 1);
    EXPECT_EQ(ClampPulseCount(3), 3);
    EXPECT_EQ(ClampPulseCount(7), 4);
}
