// The editor's pattern commands without the editor: selection, melody and row commands, the
// row clipboard, and the solo and mute bookkeeping of the variation rows.

#include "CheckCapture.h"
#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{

class Gui : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mPlug = MakePlug();
        mPlug->SetView(&mView);
    }

    OrlantixGui& G() { return mPlug->Gui(); }
    ChordProgression& Progression() { return mPlug->Engine().mProgression; }
    bool Muted(int row) { return Progression().GetMelody(5, row)->mMuted; }
    bool Solo(int row) { return Progression().GetMelody(5, row)->mSolo; }

    std::unique_ptr<Orlantix> mPlug;
    RecordingView mView;
};

} // namespace

TEST_F(Gui, SelectionOfCellsAndRows)
{
    EXPECT_FALSE(G().IsSelected(0, 0));
    G().SelectCell(11, 3, true);
    EXPECT_TRUE(G().IsSelected(11, 3));
    EXPECT_EQ(mView.mLastVariation, std::make_pair(11, 3));
    EXPECT_FALSE(G().IsRowSelected(3));
    G().SelectRow(3, true);
    EXPECT_TRUE(G().IsRowSelected(3));
    G().SelectCell(4, 3, false);
    EXPECT_FALSE(G().IsRowSelected(3));
    G().ClearSelection();
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < 4; ++v)
            EXPECT_FALSE(G().IsSelected(s, v));

    CheckCapture checks;
    G().SelectCell(12, 0, true);
    G().SelectRow(4, true);
    EXPECT_FALSE(G().IsSelected(12, 0));
    EXPECT_EQ(checks.Entries().size(), 3u) << checks.Describe();
}

TEST_F(Gui, MelodyCommandsActOnEverySelectedCellAsPermanentEdits)
{
    // Nothing selected: nothing happens.
    G().ApplyMelodyCommandToSelection(24);
    EXPECT_EQ(Progression().GetPitchSet(0, 0, 0)->mPlayingMask, 4);

    G().SelectCell(0, 0, true);
    G().SelectCell(2, 0, true);
    G().ApplyMelodyCommandToSelection(8); // up one degree
    EXPECT_EQ(Progression().GetPitchSet(0, 0, 0)->mPlayingMask, 8);
    EXPECT_EQ(Progression().GetPitchSet(2, 0, 0)->mPlayingMask, 1); // 16 wraps to degree 0
    EXPECT_EQ(Progression().GetPitchSet(1, 0, 0)->mPlayingMask, 1); // not selected
    EXPECT_FALSE(Progression().GetMelody(0, 0)->mRestorePending);   // permanent

    G().ApplyMelodyCommandToSelection(21);
    EXPECT_FALSE(Progression().GetMelody(2, 0)->mEnabled);
    G().ApplyMelodyCommandToSelection(24);
    EXPECT_EQ(Progression().GetPitchSet(0, 0, 2)->mPlayingMask, 0);
}

TEST_F(Gui, TemporaryPitchSetTransformIsUndoneByTheEngine)
{
    G().ApplyPitchSetTransform(0, 0, 0, kStrikeUp1, false);
    PitchSet& set = *Progression().GetPitchSet(0, 0, 0);
    EXPECT_EQ(set.mPlayingMask, 8);
    EXPECT_TRUE(set.mRestorePending);
    EXPECT_EQ(set.mSavedMask, 4);
    EXPECT_EQ(mView.mLastVariation, std::make_pair(0, 0));
}

TEST_F(Gui, RowCommandsActOnlyOnCompletelySelectedRows)
{
    G().SelectCell(0, 0, true);
    G().ApplyRowCommandToSelectedRows(kRowDisable);
    EXPECT_TRUE(Progression().GetMelody(0, 0)->mEnabled);
    EXPECT_TRUE(mView.mColumns.empty());

    G().SelectRow(0, true);
    G().SelectRow(2, true);
    G().ApplyRowCommandToSelectedRows(kRowShiftRightChord);
    // Melody 0 of step 0 moved to step 1 (amount 1).
    EXPECT_EQ(Progression().GetPitchSet(1, 0, 0)->mPlayingMask, 4);
    EXPECT_EQ(Progression().GetPitchSet(0, 0, 0)->mPlayingMask, 4); // step 11's {4, 16}
    EXPECT_EQ(mView.mColumns.size(), 2u * MAX_STEPS);
}

TEST_F(Gui, RowClipboardStartsEmptyAndCopyRedrawsNothing)
{
    EXPECT_TRUE(G().RowClipboardEmpty());
    G().ApplyRowCommand(kRowPaste, 2, 1); // nothing to paste
    EXPECT_EQ(Progression().GetPitchSet(0, 2, 0)->mPlayingMask, 0);
    const std::size_t columns = mView.mColumns.size();
    G().ApplyRowCommand(kRowCopy, 0, 1);
    EXPECT_FALSE(G().RowClipboardEmpty());
    EXPECT_EQ(mView.mColumns.size(), columns);
    G().ApplyRowCommand(kRowPaste, 2, 1);
    for (int s = 0; s < MAX_STEPS; ++s)
        EXPECT_EQ(Progression().GetPitchSet(s, 2, 2)->mPlayingMask,
                  Progression().GetPitchSet(s, 0, 2)->mPlayingMask)
            << s;
}

TEST_F(Gui, SoloingAndUnsoloingRows)
{
    G().RowSolo(0, true);
    G().RowSolo(1, true);
    EXPECT_TRUE(Solo(0) && Solo(1));
    EXPECT_TRUE(Muted(2) && Muted(3));
    EXPECT_TRUE(G().Row(2).mMutedBySolo);

    // Row 1 still solos, so row 0 falls silent with the rest.
    G().RowSolo(0, false);
    EXPECT_FALSE(Solo(0));
    EXPECT_TRUE(Muted(0));
    EXPECT_TRUE(G().Row(0).mMutedBySolo);
    EXPECT_TRUE(mView.mMuteShown[0]);
    EXPECT_FALSE(mView.mSoloShown[0]);
    EXPECT_TRUE(mView.mSoloShown[1]);

    // The last solo goes: every row back to its own mute state.
    G().RowMute(3, true);
    G().RowSolo(1, false);
    EXPECT_FALSE(Muted(0) || Muted(1) || Muted(2));
    EXPECT_TRUE(Muted(3));
    EXPECT_TRUE(mView.mMuteShown[3]);
    EXPECT_FALSE(mView.mMuteShown[2]);
}

TEST_F(Gui, ASoloedRowAlwaysPlays)
{
    // The player skips muted melodies: a row soloed after another, or soloed while muted by
    // its own switch, must not keep a mute flag.
    G().RowMute(1, true);
    G().RowSolo(0, true);
    G().RowSolo(1, true);
    EXPECT_FALSE(Muted(0));
    EXPECT_FALSE(Muted(1));
    EXPECT_TRUE(Muted(2) && Muted(3));
    EXPECT_TRUE(mView.mMuteShown[1]); // its own mute switch stays on
    // When the solos end, row 1 keeps the user's mute and nothing else stays muted.
    G().RowSolo(0, false);
    EXPECT_TRUE(Muted(0));
    G().RowSolo(1, false);
    EXPECT_FALSE(Muted(0) || Muted(2) || Muted(3));
    EXPECT_TRUE(Muted(1));
    for (int row = 0; row < 4; ++row)
        EXPECT_FALSE(G().Row(row).mMutedBySolo) << row;
}

TEST_F(Gui, TurningOffWhatIsNotOnChangesNothing)
{
    G().RowSolo(2, true);
    const int updates = mView.mSwitchUpdates;
    G().RowSolo(0, false);
    G().RowSolo(1, false);
    G().RowMute(0, false);
    G().RowMute(3, false);
    EXPECT_TRUE(Solo(2));
    EXPECT_TRUE(Muted(0) && Muted(1) && Muted(3));
    EXPECT_TRUE(G().Row(3).mMutedBySolo);
    EXPECT_EQ(mView.mSwitchUpdates, updates);
}

TEST_F(Gui, UnmutingThroughTheParameterKeepsASoloMute)
{
    G().RowMute(1, true);
    G().RowSolo(0, true);
    G().RowMute(1, false); // the user's mute goes, the solo's stays
    EXPECT_TRUE(Muted(1));
    EXPECT_FALSE(G().Row(1).mSoloed);
    EXPECT_TRUE(mView.mMuteShown[1]);
    G().RowSolo(0, false);
    EXPECT_FALSE(Muted(1));
}

TEST_F(Gui, UnmutingThroughTheSwitchJoinsTheSolo)
{
    G().RowSolo(0, true);
    G().RowMuteFromSwitch(2, false);
    EXPECT_FALSE(Muted(2));
    EXPECT_TRUE(G().Row(2).mSoloed);
    EXPECT_FALSE(G().Row(2).mMutedBySolo);
    EXPECT_TRUE(mView.mSoloShown[2]);
    // With two rows soloed, un-soloing row 0 mutes it and row 2 plays on alone.
    G().RowSolo(0, false);
    EXPECT_TRUE(Muted(0));
    EXPECT_FALSE(Muted(2));
    EXPECT_TRUE(Muted(1) && Muted(3));
}

TEST_F(Gui, EditsWaitForTheInstanceLock)
{
    std::atomic<bool> done{false};
    mPlug->Mutex().Enter();
    std::thread editor(
        [&]
        {
            G().ApplyRowCommand(kRowDisable, 1, 1);
            done = true;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(done.load());
    EXPECT_TRUE(Progression().GetMelody(0, 1)->mEnabled);
    mPlug->Mutex().Leave();
    editor.join();
    EXPECT_TRUE(done.load());
    EXPECT_FALSE(Progression().GetMelody(0, 1)->mEnabled);
}
