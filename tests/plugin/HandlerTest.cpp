// What a change of each parameter does to the engine, including the values the handlers guard
// against and the dispatch rules of the groove families.

#include "AudioThreadRole.h"
#include "CheckCapture.h"
#include "PluginTestSupport.h"

#include <gtest/gtest.h>

namespace
{

class Handlers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mPlug = MakePlug();
        mPlug->SetView(&mView);
        AllParameterPass(*mPlug);
    }

    PatternEngine& Engine() { return mPlug->Engine(); }

    std::unique_ptr<Orlantix> mPlug;
    RecordingView mView;
};

} // namespace

TEST_F(Handlers, DivisionsSetPulseAndNoteLength)
{
    Change(*mPlug, kTimeUnits, 13); // "1/4t": a third of a quarter note
    Change(*mPlug, kLengthUnits, 13);
    EXPECT_EQ(Engine().mBeatClock.SamplesPerPulse(), 7350);
    EXPECT_EQ(Engine().mNoteLength, 7350);

    // The length follows the tempo only when its handler runs again.
    TransportState slow;
    slow.mTempo = 60.0;
    AsAudioThread(mPlug->Mutex(), [&] { Engine().ProcessBlock(slow, 64); });
    EXPECT_EQ(Engine().mBeatClock.SamplesPerPulse(), 14700);
    EXPECT_EQ(Engine().mNoteLength, 7350);
    Change(*mPlug, kLengthUnits, 13);
    EXPECT_EQ(Engine().mNoteLength, 14700);
}

TEST_F(Handlers, ADivisionOutsideTheTableIsReportedAndIgnored)
{
    CheckCapture checks;
    Change(*mPlug, kTimeUnits, 17);
    Change(*mPlug, kLengthUnits, -1);
    EXPECT_TRUE(
        checks.Fired("src/Orlantix", "idx >= 0 && idx < NUM_ENTRIES(beatDivisionParamsTable)"));
    EXPECT_EQ(Engine().mBeatClock.SamplesPerPulse(), 11025);
    EXPECT_EQ(Engine().mNoteLength, 11025);
}

TEST_F(Handlers, SwingChannelVelocityAndJitter)
{
    Change(*mPlug, kSwing, 1.0);
    EXPECT_EQ(Engine().mBeatClock.LongInterval(), 16537); // 1.5 x 11025, truncated
    EXPECT_EQ(Engine().mBeatClock.ShortInterval(), 5513);
    Change(*mPlug, kChan, 16);
    EXPECT_EQ(Engine().mMidiChannel, 15);
    Change(*mPlug, kVel, 7);
    EXPECT_EQ(Engine().mVelocity, 7);
    Change(*mPlug, kVelJitt, 0.25);
    Change(*mPlug, kLenJitt, 0.5);
    Change(*mPlug, kHuman, 0.75);
    EXPECT_EQ(Engine().mVelJitter, 0.25);
    EXPECT_EQ(Engine().mLenJitter, 0.5);
    EXPECT_EQ(Engine().mBeatClock.Humanise(), 0.75);
    Change(*mPlug, kSlow, 2.5);
    EXPECT_EQ(mPlug->Slow(), 2.5);
    Change(*mPlug, kLifeProb, 0.25);
    EXPECT_EQ(Engine().mKeepThreshold, 0.75);
}

TEST_F(Handlers, HarmonyParameters)
{
    Change(*mPlug, kTonic, 48);
    Change(*mPlug, kMode, 5);
    Change(*mPlug, kInterval, 3);
    Change(*mPlug, kScale, 6);
    Change(*mPlug, kIval1 + 4, 6.9); // truncated toward zero
    EXPECT_EQ(Engine().mTonic, 48);
    EXPECT_EQ(Engine().mMode, 5);
    EXPECT_EQ(Engine().mScaleChoice.IntervalSet(), 3);
    EXPECT_EQ(Engine().mScaleChoice.ScaleIndex(), 6);
    EXPECT_EQ(Engine().mChordDegrees[4], 6);
    EXPECT_EQ(Engine().mProgression.GetStep(4)->mChordDegree, 6);
}

TEST_F(Handlers, PulsesAndDirectionReachTheProgressionAndPlayer)
{
    const int redraws = mView.mRedrawAlls;
    Change(*mPlug, kNumPulse, 3);
    EXPECT_EQ(Engine().mNumPulses, 3);
    EXPECT_EQ(Engine().mPlayer.PositionsPerChord(), 3);
    EXPECT_EQ(Engine().mProgression.GetMelody(11, 3)->mNumPulses, 3);
    EXPECT_EQ(mView.mRedrawAlls, redraws + 1);
    Change(*mPlug, kStepDir, 2);
    EXPECT_EQ(Engine().mPlayer.Mode(), 2);
}

TEST_F(Handlers, GrooveFamiliesFollowTheirOwnDispatch)
{
    Change(*mPlug, kGrooveLock0 + 47, 0.5);
    EXPECT_TRUE(Engine().mGroove.Locked(47));
    Change(*mPlug, kGrooveLock0 + 47, 0.49);
    EXPECT_FALSE(Engine().mGroove.Locked(47));
    const int grooveRedraws = mView.mGrooveRedraws;
    Change(*mPlug, kGrooveMute0, 1);
    EXPECT_TRUE(Engine().mGroove.Muted(0));
    EXPECT_EQ(mView.mGrooveRedraws, grooveRedraws + 1);
    Change(*mPlug, kGrooveMute0 + 47, 1);
    EXPECT_TRUE(Engine().mGroove.Muted(47));

    // The blank indices after each family touch no flag and not the cursor.
    Engine().mGroove.AdvanceCursor();
    const int cursor = Engine().mGroove.Cursor();
    Change(*mPlug, 110, 1);
    Change(*mPlug, 159, 1);
    for (int n = 0; n < 48; ++n)
        EXPECT_EQ(Engine().mGroove.Locked(n), false) << n;
    for (int n = 1; n < 47; ++n)
        EXPECT_EQ(Engine().mGroove.Muted(n), false) << n;
    EXPECT_EQ(Engine().mGroove.Cursor(), cursor);
}

TEST_F(Handlers, GrooveStepCountRedrawsOnlyOnAChange)
{
    const int redraws = mView.mGrooveRedraws;
    Change(*mPlug, kSeqSteps, 12);
    EXPECT_EQ(Engine().mGroove.NumStepsActive(), 12);
    Change(*mPlug, kSeqSteps, 12);
    EXPECT_EQ(mView.mGrooveRedraws, redraws + 1);
    Change(*mPlug, kSeqSteps, 0); // a value no range allows still leaves a step
    EXPECT_EQ(Engine().mGroove.NumStepsActive(), 1);
    Change(*mPlug, kSeqEnab, 0.49);
    EXPECT_FALSE(Engine().mGrooveEnabled);
    Change(*mPlug, kSeqEnab, 0.5);
    EXPECT_TRUE(Engine().mGrooveEnabled);
}

TEST_F(Handlers, ModifierSequencerSpans)
{
    mView.mPanes.clear();
    Change(*mPlug, kStkBegin, 6);
    Change(*mPlug, kStkLen, 8);
    EXPECT_EQ(Engine().mStrikeSeq.StartPosition(), 5);
    EXPECT_EQ(Engine().mStrikeSeq.EndPosition(), 7);
    ASSERT_EQ(mView.mPanes.size(), 2u);
    EXPECT_EQ(mView.mPanes[0], ModifierPane::kStrike);

    // Values outside 1..8 are ignored without a report or a redraw.
    CheckCapture checks;
    Change(*mPlug, kMelBegin, 9);
    Change(*mPlug, kMelLen, 0);
    EXPECT_EQ(Engine().mMelodySeq.StartPosition(), 0);
    EXPECT_EQ(Engine().mMelodySeq.Length(), 8);
    EXPECT_EQ(mView.mPanes.size(), 2u);
    EXPECT_TRUE(checks.Empty()) << checks.Describe();

    Change(*mPlug, kMelBegin, 3);
    Change(*mPlug, kMelLen, 2);
    EXPECT_EQ(Engine().mMelodySeq.StartPosition(), 2);
    EXPECT_EQ(Engine().mMelodySeq.EndPosition(), 3);
    EXPECT_EQ(mView.mPanes.back(), ModifierPane::kMelody);
}

TEST_F(Handlers, ModifierSequencerSteps)
{
    Change(*mPlug, kStkMod1 + 2, 8);
    Change(*mPlug, kStkModT1 + 2, 1);
    EXPECT_EQ(Engine().mStrikeSeq.StepAt(2).mValue, kStrikeFlip);
    EXPECT_EQ(Engine().mStrikeSeq.StepAt(2).mPermanence, 1);
    Change(*mPlug, kMelMod1 + 7, 17);
    Change(*mPlug, kMekModT1 + 7, 1);
    EXPECT_EQ(Engine().mMelodySeq.StepAt(7).mValue, kMelodyRand);
    EXPECT_EQ(Engine().mMelodySeq.StepAt(7).mPermanence, 1);
    EXPECT_EQ(Engine().mStrikeSeq.StepAt(7).mValue, kStrikeNone);

    Change(*mPlug, kStkProb, 0.3);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Engine().mStrikeSeq.Probability(i), 0.3);
    EXPECT_EQ(Engine().mMelodySeq.Probability(0), 1.0);

    Change(*mPlug, kStkCount, 0);
    EXPECT_EQ(Engine().mStrikeSeq.CountPerStep(), 1);
    Change(*mPlug, kMelCount, 5);
    EXPECT_EQ(Engine().mMelodySeq.CountPerStep(), 5);
    EXPECT_EQ(Engine().mMelodySeq.Countdown(), 5);

    // Run switches need more than half.
    Change(*mPlug, kStkRun, 0.5);
    EXPECT_FALSE(Engine().mStrikeSeq.Running());
    Change(*mPlug, kMelRun, 0.51);
    EXPECT_TRUE(Engine().mMelodySeq.Running());
    Change(*mPlug, kSMDir, 1);
    EXPECT_EQ(Engine().mStrikeSeq.Mode(), 1);
}

TEST_F(Handlers, ResetTriggersRewindWhateverTheirValue)
{
    Engine().mMelodySeq.Step();
    Engine().mMelodySeq.Step();
    ASSERT_EQ(Engine().mMelodySeq.Cursor(), 2);
    Change(*mPlug, kMelRst, 0);
    EXPECT_EQ(Engine().mMelodySeq.Cursor(), 0);
    Change(*mPlug, kSMDir, 1); // "Back" rewinds to the end
    Change(*mPlug, kStkRst, 1);
    EXPECT_EQ(Engine().mStrikeSeq.Cursor(), 7);
}

TEST_F(Handlers, ACommandTriggerRunsOncePerPress)
{
    OrlantixGui& gui = mPlug->Gui();
    gui.SelectCell(0, 0, true);
    const int before = Engine().mProgression.GetPitchSet(0, 0, 0)->mPlayingMask;
    ASSERT_EQ(before, 4);
    Change(*mPlug, 214, 1); // "M U": every degree up one
    Change(*mPlug, 214, 0); // the release
    EXPECT_EQ(Engine().mProgression.GetPitchSet(0, 0, 0)->mPlayingMask, 8);
    // The cell not selected is left alone.
    EXPECT_EQ(Engine().mProgression.GetPitchSet(1, 0, 0)->mPlayingMask, 1);

    // "R" triggers act on whole selected rows only: one selected cell is not a row.
    Change(*mPlug, 229, 1); // "R D": disable
    for (int s = 0; s < MAX_STEPS; ++s)
        EXPECT_TRUE(Engine().mProgression.GetMelody(s, 0)->mEnabled) << s;
    gui.SelectRow(1, true);
    Change(*mPlug, 229, 0);
    Change(*mPlug, 229, 1);
    for (int s = 0; s < MAX_STEPS; ++s)
    {
        EXPECT_FALSE(Engine().mProgression.GetMelody(s, 1)->mEnabled) << s;
        EXPECT_TRUE(Engine().mProgression.GetMelody(s, 0)->mEnabled) << s;
    }
    // The cell trigger and the row selection triggers do nothing.
    Change(*mPlug, kCellTrigger, 1);
    Change(*mPlug, kRowSel1, 1);
    EXPECT_EQ(Engine().mProgression.GetPitchSet(0, 0, 0)->mPlayingMask, 8);
}
