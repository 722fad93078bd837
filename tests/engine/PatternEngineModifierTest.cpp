// The process block with the modifier sequencers, a state load and an editor attached.

#include "PatternEngine.h"

#include "EngineDriver.h"
#include "Modifiers.h"

#include <gtest/gtest.h>

TEST(PatternEngine, TemporaryMelodyChangesLastToTheEndOfTheChordPass)
{
    PatternEngine e;
    RecordingView view;
    e.SetView(&view);
    for (int i = 0; i < kModifierSteps; ++i)
        e.SetModifierValue(ModifierPane::kMelody, i, kMelodyUp1);
    const Melody& m = *e.mProgression.GetMelody(0, 0);
    PlayRun(e, Playing(), 0, 3 * 11025 + 1, FixedBlocks(512));
    EXPECT_TRUE(m.mRestorePending);
    EXPECT_EQ(m.mPitchSets[0].mPlayingMask, 8);
    EXPECT_EQ(m.mPitchSets[2].mPlayingMask, 1);
    PlayRun(e, Playing(), 3 * 11025 + 1, 11025, FixedBlocks(512));
    EXPECT_FALSE(m.mRestorePending);
    EXPECT_EQ(m.mPitchSets[0].mPlayingMask, 4);
    EXPECT_EQ(m.mPitchSets[2].mPlayingMask, 16);
    EXPECT_GE(view.mVariationRedraws, 2); // the change and the restore
    // The melody sequencer ticks once per chord pass, on its second pulse.
    EXPECT_EQ(e.mMelodySeq.Cursor(), 1);
    EXPECT_TRUE(view.mMelodyHighlight[1]);
    EXPECT_FALSE(view.mMelodyHighlight[0]);
}

TEST(PatternEngine, PermanentChangesStayAndLifeProbabilityFlipsTheChoice)
{
    auto run = [](int permanence, double lifeProb)
    {
        PatternEngine e;
        for (int i = 0; i < kModifierSteps; ++i)
        {
            e.SetModifierValue(ModifierPane::kMelody, i, kMelodyUp1);
            e.SetModifierPermanence(ModifierPane::kMelody, i, permanence);
        }
        e.SetLifeProbability(lifeProb);
        PlayRun(e, Playing(), 0, 4 * 11025 + 1, FixedBlocks(512));
        return e.mProgression.GetMelody(0, 0)->mPitchSets[0].mPlayingMask;
    };
    EXPECT_EQ(run(kTemporary, 0.0), 4);
    EXPECT_EQ(run(kPermanent, 0.0), 8);
    EXPECT_EQ(run(kTemporary, 1.0), 8);
    EXPECT_EQ(run(kPermanent, 1.0), 4);
}

TEST(PatternEngine, AStateLoadReplaysTheCurrentPositionOnce)
{
    PatternEngine e;
    RecordingView view;
    e.SetView(&view);
    PlayRun(e, Playing(), 0, 5 * 11025 + 1, FixedBlocks(512));
    EXPECT_EQ(e.mPlayer.Cursor(), 5);
    e.mResyncPending = true;
    PlayRun(e, Playing(), 5 * 11025 + 1, 11025, FixedBlocks(512));
    EXPECT_EQ(e.mPlayer.Cursor(), 5);
    EXPECT_FALSE(e.mResyncPending);
    PlayRun(e, Playing(), 6 * 11025 + 1, 11025, FixedBlocks(512));
    EXPECT_EQ(e.mPlayer.Cursor(), 6);
}

TEST(PatternEngine, TellsTheEditorAboutMarkersGrooveAndHighlights)
{
    PatternEngine e;
    RecordingView view;
    e.SetView(&view);
    e.SetGrooveStepsActive(3);
    PlayRun(e, Playing(), 0, 10 * 11025 + 1, FixedBlocks(512));
    // Seek: hide and show; then per advancing pulse: hide and show.
    EXPECT_EQ(view.mMarkerCalls, 2 + 2 * 10);
    EXPECT_EQ(view.mHides, 1 + 10);
    EXPECT_EQ(view.mShownChord, 2);
    EXPECT_EQ(view.mShownPulse, 2);
    EXPECT_EQ(view.mGrooveRedraws, 1 + 1 + 10); // the step count, the seek, each pulse
    EXPECT_EQ(e.mGroove.Cursor(), 10 % 3);
    EXPECT_EQ(e.mStrikeSeq.Cursor(), 10 % 8);
    EXPECT_TRUE(view.mStrikeHighlight[2]);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(view.mStrikeHighlight[i], i == 2) << i;
    // Without the groove enabled its cursor stays.
    e.SetGrooveEnabled(false);
    PlayRun(e, Playing(), 10 * 11025 + 1, 3 * 11025, FixedBlocks(512));
    EXPECT_EQ(e.mGroove.Cursor(), 1);
    e.SetView(nullptr);
    PlayRun(e, Playing(), 13 * 11025 + 1, 3 * 11025, FixedBlocks(512));
    EXPECT_EQ(view.mShownPulse, 1);
}

TEST(PatternEngine, EveryStrikeModifierTemporaryAndPermanent)
{
    // Pitch set 2 of the first melody holds degree 4 (mask 16); the strike sequencer changes it
    // on pulse 2 and, for a temporary change, pulse 3 restores it.
    const int changed[kNumStrikeModifiers] = {1, 2, 4, 8, 8, 4, 2, 1, 1, -1, 16, 16, 16};
    for (int value = 0; value < kNumStrikeModifiers; ++value)
        for (int permanence : {kTemporary, kPermanent})
        {
            PatternEngine e;
            for (int i = 0; i < kModifierSteps; ++i)
            {
                e.SetModifierValue(ModifierPane::kStrike, i, value);
                e.SetModifierPermanence(ModifierPane::kStrike, i, permanence);
            }
            const PitchSet& set = *e.mProgression.GetPitchSet(0, 0, 2);
            MwcRandom twin = set.mRandom;
            const int expected = changed[value] >= 0 ? changed[value] : twin.NextDegreeMask();
            PlayRun(e, Playing(), 0, 2 * 11025 + 1, FixedBlocks(512));
            EXPECT_EQ(set.mPlayingMask, expected) << kStrikeModifierNames[value];
            PlayRun(e, Playing(), 2 * 11025 + 1, 11025, FixedBlocks(512));
            const int after = permanence == kTemporary ? 16 : expected;
            EXPECT_EQ(set.mPlayingMask, after) << kStrikeModifierNames[value] << " " << permanence;
            EXPECT_FALSE(set.mRestorePending);
        }
}

// Clicks on a pulse while a temporary strike change plays it: they toggle what sounds, the
// change still ends after its pulse, and what the clicks did to the pattern stays.
TEST(PatternEngine, ClicksDuringATemporaryChangeOutliveIt)
{
    PatternEngine e;
    for (int i = 0; i < kModifierSteps; ++i)
    {
        e.SetModifierValue(ModifierPane::kStrike, i, kStrikeUp1);
        e.SetModifierPermanence(ModifierPane::kStrike, i, kTemporary);
    }
    Melody& m = *e.mProgression.GetMelody(0, 0);
    const PitchSet& set = m.mPitchSets[2];
    PlayRun(e, Playing(), 0, 2 * 11025 + 1, FixedBlocks(512));
    ASSERT_EQ(set.mPlayingMask, 1); // degree 4 moved up to degree 0 for this pulse
    ToggleDegree(m, 2, 0);          // the moved note off: nothing lasting
    ToggleDegree(m, 2, 1);          // a note added for good
    EXPECT_EQ(set.mPlayingMask, 2);
    EXPECT_EQ(set.mBaseMask, 16 | 2);
    PlayRun(e, Playing(), 2 * 11025 + 1, 11025, FixedBlocks(512));
    EXPECT_EQ(set.mPlayingMask, 16 | 2);
    EXPECT_FALSE(set.mRestorePending);
    EXPECT_EQ(m.mBasePitchSets[2].mPlayingMask, 16 | 2);
}

TEST(PatternEngine, EveryMelodyModifierTemporaryAndPermanent)
{
    // The first melody is {4, 0, 16, 0}; the melody sequencer changes it on pulse 1 and, for a
    // temporary change, the end of the chord pass (pulse 4) restores it.
    const std::vector<int> changed[kNumMelodyModifiers] = {
        {0, 16, 0, 4}, {4, 0, 1, 0},  {0, 16, 0, 4}, {16, 0, 4, 0}, {0, 4, 0, 16}, {0, 4, 0, 16},
        {16, 0, 4, 0}, {0, 16, 0, 4}, {8, 0, 1, 0},  {16, 0, 2, 0}, {1, 0, 4, 0},  {2, 0, 8, 0},
        {2, 0, 8, 0},  {1, 0, 4, 0},  {16, 0, 2, 0}, {8, 0, 1, 0},  {4, 0, 16, 0}, {},
        {4, 0, 16, 0},
    };
    const std::vector<int> original = {4, 0, 16, 0};
    for (int value = 0; value < kNumMelodyModifiers; ++value)
        for (int permanence : {kTemporary, kPermanent})
        {
            PatternEngine e;
            for (int i = 0; i < kModifierSteps; ++i)
            {
                e.SetModifierValue(ModifierPane::kMelody, i, value);
                e.SetModifierPermanence(ModifierPane::kMelody, i, permanence);
            }
            const Melody& m = *e.mProgression.GetMelody(0, 0);
            std::vector<int> expected = changed[value];
            if (expected.empty())
                for (const PitchSet& set : m.mPitchSets)
                {
                    MwcRandom twin = set.mRandom;
                    expected.push_back(twin.NextDegreeMask());
                }
            auto masks = [&m]
            {
                std::vector<int> out;
                for (const PitchSet& set : m.mPitchSets)
                    out.push_back(set.mPlayingMask);
                return out;
            };
            PlayRun(e, Playing(), 0, 11025 + 1, FixedBlocks(512));
            EXPECT_EQ(masks(), expected) << kMelodyModifierNames[value];
            PlayRun(e, Playing(), 11025 + 1, 3 * 11025, FixedBlocks(512));
            EXPECT_EQ(masks(), permanence == kTemporary ? original : expected)
                << kMelodyModifierNames[value] << " " << permanence;
            EXPECT_FALSE(m.mRestorePending);
        }
}
