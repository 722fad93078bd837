// Every open request and every load runs all handlers in index order over the values just
// stored. No handler may change another parameter or undo what an earlier one set: saved values
// come out of the pass as they went in.

#include "PluginTestSupport.h"

#include <gtest/gtest.h>

namespace
{

// Values far from the defaults, including a span that does not start at step 1 and a solo.
const std::pair<int, double> kSaved[] = {
    {kTimeUnits, 5},       {kLengthUnits, 9}, {kSwing, 0.4},
    {kChan, 10},           {kVel, 90},        {kTonic, 50},
    {kNumStep, 4},         {kNumPulse, 3},    {kIval1 + 2, 6},
    {kSeqSteps, 16},       {kMode, 4},        {kStepOne, 5},
    {kStepDir, 3},         {kStkBegin, 3},    {kStkLen, 4},
    {kMelCount, 3},        {kStkMod1 + 1, 0}, {kInterval, 2},
    {kScale, 5},           {kRowSolo1, 1},    {kGrooveMute0 + 3, 1},
    {kGrooveLock0 + 9, 1},
};

void Store(Orlantix& plug)
{
    for (const auto& [idx, value] : kSaved)
        plug.GetParam(idx)->SetValue(value);
}

// Everything the saved values say, checked on the parameters and on what plays.
void ExpectSavedState(Orlantix& plug)
{
    for (const auto& [idx, value] : kSaved)
        EXPECT_EQ(plug.GetParam(idx)->Value(), value) << plug.GetParam(idx)->Name();
    const PatternEngine& e = plug.Engine();
    EXPECT_EQ(e.mProgression.BeginStep(), 4);
    EXPECT_EQ(e.mProgression.StepCount(), 4);
    EXPECT_EQ(e.mPlayer.StartPosition(), 4 * 3);
    EXPECT_EQ(e.mPlayer.EndPosition(), 8 * 3 - 1);
    EXPECT_EQ(e.mNumPulses, 3);
    EXPECT_EQ(e.mMidiChannel, 9);
    EXPECT_EQ(e.mGroove.NumStepsActive(), 16);
    EXPECT_TRUE(e.mGroove.Muted(3));
    EXPECT_TRUE(e.mGroove.Locked(9));
    EXPECT_EQ(e.mStrikeSeq.StartPosition(), 2);
    EXPECT_EQ(e.mStrikeSeq.EndPosition(), 5);
    // Row 0 solos; the other rows are muted by its solo, not by their own switches.
    const OrlantixGui& gui = plug.Gui();
    EXPECT_TRUE(gui.Row(0).mSoloed);
    for (int row = 1; row < 4; ++row)
    {
        EXPECT_TRUE(gui.Row(row).mMutedBySolo) << row;
        EXPECT_FALSE(gui.Row(row).mMutedByUser) << row;
        EXPECT_FALSE(gui.Row(row).mSoloed) << row;
    }
    for (int s = 0; s < MAX_STEPS; ++s)
    {
        EXPECT_TRUE(e.mProgression.GetMelody(s, 0)->mSolo) << s;
        EXPECT_FALSE(e.mProgression.GetMelody(s, 0)->mMuted) << s;
        for (int row = 1; row < 4; ++row)
            EXPECT_TRUE(e.mProgression.GetMelody(s, row)->mMuted) << s << " " << row;
    }
}

} // namespace

TEST(SavedValues, SurviveTheOpenPass)
{
    auto plug = MakePlug();
    RecordingView view;
    plug->SetView(&view);
    Store(*plug);
    vst2::Effect* effect = plug->GetEffect();
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0.0f);
    ExpectSavedState(*plug);
    // The span control was shown the saved span, and nothing else.
    ASSERT_FALSE(view.mSpans.empty());
    EXPECT_EQ(view.mSpans.back(), std::make_pair(4, 8));
    // A second pass (hosts open twice) keeps it all.
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0.0f);
    ExpectSavedState(*plug);
}

TEST(SavedValues, SurviveAPassOverAllParameterValuesReadBack)
{
    auto source = MakePlug();
    Store(*source);
    AllParameterPass(*source);
    IByteChunk chunk;
    ASSERT_TRUE(source->WriteParamValues(chunk, true));

    auto plug = MakePlug();
    EXPECT_EQ(plug->UnserializeParams(chunk, 0, true), 250 * 8);
    ExpectSavedState(*plug);
}

TEST(SavedValues, ALaterLoadReplacesSoloAndSpanCleanly)
{
    auto plug = MakePlug();
    Store(*plug);
    AllParameterPass(*plug);
    // Another state: row 2 solos, row 3 muted by the user, full span.
    Change(*plug, kRowSolo1, 0);
    plug->GetParam(kRowSolo1 + 2)->SetValue(1);
    plug->GetParam(kRowMute1 + 3)->SetValue(1);
    plug->GetParam(kStepOne)->SetValue(1);
    plug->GetParam(kNumStep)->SetValue(12);
    AllParameterPass(*plug);
    const OrlantixGui& gui = plug->Gui();
    EXPECT_TRUE(gui.Row(2).mSoloed);
    EXPECT_FALSE(gui.Row(0).mSoloed);
    EXPECT_TRUE(gui.Row(0).mMutedBySolo);
    EXPECT_TRUE(gui.Row(1).mMutedBySolo);
    EXPECT_TRUE(gui.Row(3).mMutedBySolo);
    EXPECT_TRUE(gui.Row(3).mMutedByUser);
    EXPECT_EQ(plug->Engine().mProgression.BeginStep(), 0);
    EXPECT_EQ(plug->Engine().mProgression.StepCount(), 12);

    // Un-soloing row 2 gives every row its own mute again: only row 3 stays muted.
    Change(*plug, kRowSolo1 + 2, 0);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(plug->Engine().mProgression.GetMelody(7, row)->mMuted, row == 3) << row;
}
