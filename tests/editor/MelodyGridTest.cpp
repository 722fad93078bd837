// The melody grid driven by mouse events at its coordinates: degree toggles, selection of
// cells and rows, the cell and row menus, solo and mute, enable squares and repeat counters;
// what an edit changes must be heard in the instance's event stream.

#include "EditorRig.h"
#include "IByteChunk.h"
#include "IPopupMenu.h"
#include "ISpinnerControl.h"
#include "ISwitchControl.h"
#include "Modifiers.h"
#include "RightClickMenu.h"
#include "RowTransforms.h"
#include "Transforms.h"

#include <gtest/gtest.h>

namespace
{
int Mask(EditorRig& rig, int chordStep, int variation, int pulse)
{
    return rig.LiveMelody(chordStep, variation).mPitchSets[pulse].mPlayingMask;
}

// The cells selected, as "step,variation" pairs.
std::vector<std::pair<int, int>> Selection(EditorRig& rig)
{
    std::vector<std::pair<int, int>> cells;
    for (int s = 0; s < MAX_STEPS; ++s)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            if (rig.Gui().IsSelected(s, v))
                cells.emplace_back(s, v);
    return cells;
}

std::unique_ptr<Orlantix> OpenedInstance()
{
    auto plug = std::make_unique<Orlantix>(nullptr);
    OpenInstance(*plug);
    return plug;
}

IControl* ControlAt(EditorRig& rig, int x, int y)
{
    return rig.mpG->GetControl(rig.mpG->FindControlAt(x, y));
}

// Centre of pulse p (four pulses) and degree d in a canvas.
constexpr auto PulseX = [](int pulse) { return 5 + 10 * pulse; };
constexpr auto DegreeY = [](int degree) { return 36 - 8 * degree; };
} // namespace

TEST(MelodyGrid, AClickTogglesTheDegreeUnderThePointerAndTheChangeIsHeard)
{
    auto untouched = OpenedInstance();
    auto reference = OpenedInstance();
    ToggleDegree(*reference->Engine().mProgression.GetMelody(0, 0), 0, 0);
    ToggleDegree(*reference->Engine().mProgression.GetMelody(5, 0), 2, 4);

    EditorRig rig;
    rig.W().Click(CanvasX(0, PulseX(0)), CanvasY(0, DegreeY(0)));
    EXPECT_EQ(Mask(rig, 0, 0, 0), 4 | 1);
    EXPECT_EQ(rig.LiveMelody(0, 0).mPitchSets[0].mBaseMask, 5);
    EXPECT_EQ(rig.mModel.mProgression.GetMelody(0, 0)->mPitchSets[0].mPlayingMask, 5);
    // The gap between two pulse columns and the frame select the cell but toggle nothing.
    rig.W().Click(CanvasX(5, 10), CanvasY(0, DegreeY(2)));
    rig.W().Click(CanvasX(5, PulseX(2)), CanvasY(0, 0));
    EXPECT_EQ(Mask(rig, 5, 0, 0), 4);
    EXPECT_EQ(Mask(rig, 5, 0, 2), 8);
    EXPECT_EQ(Selection(rig), (std::vector<std::pair<int, int>>{{5, 0}}));
    rig.W().Click(CanvasX(5, PulseX(2)), CanvasY(0, DegreeY(4)));
    EXPECT_EQ(Mask(rig, 5, 0, 2), 8 | 16);
    // A quick second click is a double click: it toggles again, as any click does.
    rig.W().DoubleClick(CanvasX(5, PulseX(1)), CanvasY(0, DegreeY(1)));
    EXPECT_EQ(Mask(rig, 5, 0, 1), 0);

    const auto heard = Play(rig.Plug(), 12);
    const auto before = Play(*untouched, 12);
    EXPECT_TRUE(heard == Play(*reference, 12));
    bool removed = true;
    const auto added = AddedEvents(before, heard, removed);
    EXPECT_FALSE(removed);
    // Each new note sounds with a note already there: degree 0 of the first chord is the
    // tonic (60), degree 4 of chord step 5 lies above its degree 3.
    ASSERT_EQ(added.size() % 2, 0u);
    ASSERT_GE(added.size(), 4u) << FormatStream(added);
    for (const StreamEvent& e : added)
    {
        const auto with = std::find_if(before.begin(), before.end(),
                                       [&](const StreamEvent& b)
                                       { return b.mTime == e.mTime && b.mStatus == e.mStatus; });
        ASSERT_NE(with, before.end()) << FormatEvent(e);
        if (e.mStatus != 0x90)
            continue;
        if (e.mTime % 529200 == 0)
            EXPECT_EQ(e.mData1, 60) << FormatEvent(e);
        else
            EXPECT_GT(e.mData1, with->mData1) << FormatEvent(e);
    }

    // Three pulses: the columns are 1-12, 14-26 and 28-39, the lines at 12 and 27.
    rig.Plug().SetParameterFromGUI(kNumPulse, 0.5);
    rig.Frame();
    rig.W().Click(CanvasX(1, 13), CanvasY(1, DegreeY(1)));
    rig.W().Click(CanvasX(1, 27), CanvasY(1, DegreeY(1)));
    EXPECT_EQ(Mask(rig, 1, 1, 0) | Mask(rig, 1, 1, 1) | Mask(rig, 1, 1, 2), 0);
    rig.W().Click(CanvasX(1, 12), CanvasY(1, DegreeY(1)));
    rig.W().Click(CanvasX(1, 28), CanvasY(1, DegreeY(3)));
    EXPECT_EQ(Mask(rig, 1, 1, 0), 2);
    EXPECT_EQ(Mask(rig, 1, 1, 2), 8);
}

// During a temporary strike change the canvas shows the changed mask: a click toggles what it
// shows, the change stays temporary, and a click on a canvas the audio thread has changed
// since its frame still does what the user saw.
TEST(MelodyGrid, AClickTogglesWhatTheCanvasShowsAndTemporaryChangesStayTemporary)
{
    EditorRig rig;
    Melody& m = rig.LiveMelody(0, 0);
    const PitchSet& set = m.mPitchSets[0]; // degree 2
    {
        IMutexLock lock(rig.Plug().Mutex());
        StrikeTransform(m.mPitchSets[0], kStrikeUp1, false); // degree 3 for this pulse
    }
    rig.Frame();
    rig.W().Click(CanvasX(0, PulseX(0)), CanvasY(0, DegreeY(3)));
    EXPECT_EQ(set.mPlayingMask, 0);
    EXPECT_TRUE(set.mRestorePending);
    EXPECT_EQ(set.mSavedMask, 4);
    EXPECT_EQ(set.mBaseMask, 4);
    rig.W().Click(CanvasX(0, PulseX(0)), CanvasY(0, DegreeY(0)));
    EXPECT_EQ(set.mPlayingMask, 1);
    EXPECT_EQ(set.mSavedMask, 4 | 1);
    EXPECT_EQ(set.mBaseMask, 4 | 1);

    // The pulse ends before the next frame: degree 2 sounds again, the canvas does not show it
    // yet, and a click there means "on".
    {
        IMutexLock lock(rig.Plug().Mutex());
        m.mPitchSets[0].mPlayingMask = set.mSavedMask;
        m.mPitchSets[0].mRestorePending = false;
    }
    rig.W().Click(CanvasX(0, PulseX(0)), CanvasY(0, DegreeY(2)));
    EXPECT_EQ(set.mPlayingMask, 4 | 1);
    EXPECT_EQ(set.mBaseMask, 4 | 1);
    EXPECT_EQ(rig.mModel.mProgression.GetMelody(0, 0)->mPitchSets[0].mPlayingMask, 4 | 1);
}

TEST(MelodyGrid, ControlClicksAndRowControlsSelectWhatTheEditButtonsChange)
{
    EditorRig rig;
    {
        IMutexLock lock(rig.Plug().Mutex());
        for (int s = 0; s < MAX_STEPS; ++s)
            for (int row : {1, 3})
                ToggleDegree(rig.LiveMelody(s, row), 0, 0);
    }
    rig.W().Click(CanvasX(0, PulseX(2)), CanvasY(0, DegreeY(4)), kControl);
    rig.W().Click(CanvasX(2, PulseX(2)), CanvasY(1, DegreeY(4)), kControl);
    EXPECT_EQ(Selection(rig), (std::vector<std::pair<int, int>>{{0, 0}, {2, 1}}));
    // A control-click on a selected cell unselects it and toggles nothing.
    rig.W().Click(CanvasX(0, PulseX(2)), CanvasY(0, DegreeY(4)), kControl);
    EXPECT_EQ(Selection(rig), (std::vector<std::pair<int, int>>{{2, 1}}));
    EXPECT_EQ(Mask(rig, 0, 0, 2), 16);
    EXPECT_EQ(Mask(rig, 2, 1, 2), 0);

    // The selection wash shows on the selected cell only.
    rig.Frame();
    EXPECT_NE(rig.Pixel(CanvasX(2, 25), CanvasY(1, 28)), rig.Pixel(CanvasX(2, 25), CanvasY(2, 28)));

    rig.W().Click(10, RowTop(1) + 7);
    rig.W().Click(10, RowTop(3) + 7, kControl);
    EXPECT_TRUE(rig.Gui().IsRowSelected(1) && rig.Gui().IsRowSelected(3));
    EXPECT_EQ(Selection(rig).size(), 24u);
    rig.W().Click(CanvasX(4, 0), CanvasY(3, 0), kControl);
    EXPECT_FALSE(rig.Gui().IsRowSelected(3));
    // "R U" shifts fully selected rows only; "M U" every selected cell.
    rig.Plug().SetParameterFromGUI(kFirstRowCommand + 2, 1.0);
    rig.Plug().SetParameterFromGUI(kFirstRowCommand + 2, 0.0);
    EXPECT_EQ(Mask(rig, 7, 1, 0), 2);
    EXPECT_EQ(Mask(rig, 7, 3, 0), 1);
    rig.Plug().SetParameterFromGUI(kFirstCommand + 2, 1.0);
    EXPECT_EQ(Mask(rig, 7, 1, 0), 4);
    EXPECT_EQ(Mask(rig, 7, 3, 0), 2);
    EXPECT_EQ(Mask(rig, 4, 3, 0), 1);
    // A control-click on a fully selected row unselects it; a plain click selects it alone.
    rig.W().Click(10, RowTop(1) + 7, kControl);
    EXPECT_EQ(Selection(rig).size(), 11u);
    rig.W().Click(10, RowTop(0) + 7);
    EXPECT_EQ(Selection(rig).size(), 12u);
    EXPECT_TRUE(rig.Gui().IsRowSelected(0));
}

TEST(MelodyGrid, TheCellMenuActsOnTheCellUnderThePointerOnly)
{
    auto untouched = OpenedInstance();
    auto reference = OpenedInstance();
    reference->Engine().ApplyMelodyCommand(3, 0, 24, true);

    EditorRig rig;
    rig.W().Click(CanvasX(0, 0), CanvasY(0, 0), kControl);
    rig.W().Click(CanvasX(1, 0), CanvasY(0, 0), kControl);
    rig.W().AnswerMenu("Clear");
    rig.W().RightClick(CanvasX(3, 20), CanvasY(0, 20));
    const std::vector<std::string> listing = {
        "[x] Enable", "Disable",  "---",   "Flip L/R",    "Flip T/B", "Shift Left",
        "> < 1",      "> < 2",    "> < 3", "Shift Right", "> > 1",    "> > 2",
        "> > 3",      "Shift Up", "> ^ 1", "> ^ 2",       "> ^ 3",    "> ^ 4",
        "Shift Down", "> v 1",    "> v 2", "> v 3",       "> v 4",    "Rand",
        "---",        "Copy",     "Paste", "---",         "Clear"};
    EXPECT_EQ(ControlItems(rig.W().LastMenu()), listing);
    EXPECT_EQ(Mask(rig, 3, 0, 0) | Mask(rig, 3, 0, 2), 0);
    EXPECT_EQ(Mask(rig, 0, 0, 0), 4);
    EXPECT_EQ(Mask(rig, 1, 0, 0), 1);
    EXPECT_EQ(Selection(rig), (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}}));
    const auto heard = Play(rig.Plug(), 6);
    EXPECT_TRUE(heard == Play(*reference, 6));
    EXPECT_FALSE(heard == Play(*untouched, 6));

    // The marks follow the melody: once disabled, "Disable" is the checked one.
    rig.W().AnswerMenu("Disable");
    rig.W().RightClick(CanvasX(3, 20), CanvasY(0, 20));
    EXPECT_FALSE(rig.LiveMelody(3, 0).mEnabled);
    rig.W().AnswerMenu(0);
    rig.W().RightClick(CanvasX(3, 20), CanvasY(0, 20));
    EXPECT_EQ(ControlItems(rig.W().LastMenu())[0], "Enable");
    EXPECT_EQ(ControlItems(rig.W().LastMenu())[1], "[x] Disable");
    // A disabled item cannot be chosen.
    rig.W().AnswerMenu("Disable");
    rig.W().RightClick(CanvasX(3, 20), CanvasY(0, 20));
    rig.W().AnswerMenu("Enable");
    rig.W().RightClick(CanvasX(3, 20), CanvasY(0, 20));
    EXPECT_TRUE(rig.LiveMelody(3, 0).mEnabled);

    rig.W().AnswerMenu("Copy");
    rig.W().RightClick(CanvasX(6, 20), CanvasY(0, 20));
    rig.W().AnswerMenu("Paste");
    rig.W().RightClick(CanvasX(9, 20), CanvasY(2, 20));
    EXPECT_EQ(Mask(rig, 9, 2, 0), 16);
    EXPECT_EQ(Mask(rig, 9, 2, 2), 8);
    rig.W().AnswerMenu("^ 2");
    rig.W().RightClick(CanvasX(9, 20), CanvasY(2, 20));
    EXPECT_EQ(Mask(rig, 9, 2, 0), 2);
    EXPECT_EQ(Mask(rig, 9, 2, 2), 1);
}

TEST(MelodyGrid, TheRowMenuHasNumberedSubmenusAndPastesOnlyWhatWasCopied)
{
    auto reference = OpenedInstance();
    reference->Gui().ApplyRowCommand(kRowCopy, 0, 1);
    reference->Gui().ApplyRowCommand(kRowPaste, 2, 1);
    reference->Gui().ApplyRowCommand(kRowShiftRightChord, 2, 2);

    EditorRig rig;
    IControl* row2 = ControlAt(rig, 10, RowTop(2) + 7);
    ASSERT_NE(row2, nullptr);
    EXPECT_FALSE(row2->BuildParamMenu()->FindByTag(kRowPaste)->Enabled());
    rig.W().AnswerMenu(0);
    rig.W().RightClick(10, RowTop(2) + 7);
    const std::vector<std::string> menu = ControlItems(rig.W().LastMenu());
    ASSERT_EQ(menu.size(), 5u + 2 * 5 + 1 + 2 * 12 + 2 + 1 + 2 * 48 + 2 + 1 + 1 + 1 + 2);
    EXPECT_EQ(
        std::vector<std::string>(menu.begin(), menu.begin() + 6),
        (std::vector<std::string>{"Enable", "Disable", "---", "Flip T/B", "---", "Shift Up"}));
    const auto pulses = std::find(menu.begin(), menu.end(), "Shift Left (pulse)");
    ASSERT_NE(pulses, menu.end());
    for (int i = 1; i <= 47; ++i)
        EXPECT_EQ(pulses[i], (i > 1 && i % 12 == 1 ? "> |< " : "> < ") + std::to_string(i));
    EXPECT_EQ(menu.back(), "Paste");
    const auto numbered = row2->BuildParamMenu();
    const IPopupMenu::Item* right47 = numbered->FindByTag(65536 + 256 * kRowShiftRightPulse + 47);
    ASSERT_NE(right47, nullptr);
    EXPECT_EQ(right47->Text(), "> 47");

    rig.W().AnswerMenu("Copy");
    rig.W().RightClick(10, RowTop(0) + 7);
    EXPECT_TRUE(row2->BuildParamMenu()->FindByTag(kRowPaste)->Enabled());
    rig.W().AnswerMenu("Paste");
    rig.W().RightClick(10, RowTop(2) + 7);
    rig.W().AnswerMenu("> 2"); // "Shift Right (chord)" by two
    rig.W().RightClick(10, RowTop(2) + 7);
    EXPECT_EQ(Mask(rig, 2, 2, 0), 4);
    EXPECT_EQ(Mask(rig, 3, 2, 0), 1);
    EXPECT_EQ(Mask(rig, 3, 2, 2), 2);
    // Every variation plays once in four passes of the progression.
    EXPECT_TRUE(Play(rig.Plug(), 24) == Play(*reference, 24));
}

TEST(MelodyGrid, SoloAndMuteSwitchesFollowTheRowsSoloLogic)
{
    EditorRig rig;
    const auto solo = [&](int row) { rig.W().Click(650, RowTop(row) + 7); };
    const auto mute = [&](int row) { rig.W().Click(668, RowTop(row) + 7); };
    // Per row: M muted, S soloed (switches shown), '.' plays.
    const auto rows = [&]
    {
        std::string shown;
        for (int r = 0; r < 4; ++r)
        {
            const bool muted = rig.LiveMelody(7, r).mMuted;
            EXPECT_EQ(rig.mpGrid->MuteSwitch(r)->GetValue() > 0.5, muted) << r;
            shown += rig.mpGrid->SoloSwitch(r)->GetValue() > 0.5 ? 'S' : (muted ? 'M' : '.');
        }
        return shown;
    };
    solo(0);
    EXPECT_EQ(rows(), "SMMM");
    solo(1);
    EXPECT_EQ(rows(), "SSMM");
    solo(0);
    EXPECT_EQ(rows(), "MSMM");
    solo(1);
    EXPECT_EQ(rows(), "....");

    // Un-muting a row that another row's solo silenced makes it join the solo, and a saved state
    // brings back the same rows.
    mute(2);
    EXPECT_EQ(rows(), "..M.");
    solo(0);
    EXPECT_EQ(rows(), "SMMM");
    mute(2);
    EXPECT_EQ(rows(), "SMSM");
    IByteChunk state;
    ASSERT_TRUE(rig.Plug().WriteState(state));
    auto restored = OpenedInstance();
    restored->ReadState(state, 0);
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(restored->Engine().mProgression.GetMelody(7, r)->mMuted,
                  rig.LiveMelody(7, r).mMuted)
            << r;
    EXPECT_TRUE(Play(*restored, 12) == Play(rig.Plug(), 12));
}

TEST(MelodyGrid, EnableSquaresDisableLiveMelodiesAndEnableOthers)
{
    auto reference = OpenedInstance();
    reference->Engine().ApplyMelodyCommand(3, 0, 21, true);
    auto untouched = OpenedInstance();

    EditorRig rig;
    const auto square = [&](int step, int variation)
    { rig.W().Click(CellLeft(step) + 4, CellTop(variation) + 4); };
    const auto colour = [&](int step, int variation)
    {
        rig.Frame();
        return rig.Pixel(CellLeft(step) + 4, CellTop(variation) + 4);
    };
    EXPECT_EQ(colour(3, 0), IColorARGB(255, 0, 255, 0));
    square(3, 0);
    EXPECT_FALSE(rig.LiveMelody(3, 0).mEnabled);
    EXPECT_EQ(colour(3, 0), IColorARGB(255, 255, 0, 0));
    const auto heard = Play(rig.Plug(), 6);
    EXPECT_TRUE(heard == Play(*reference, 6));
    EXPECT_FALSE(heard == Play(*untouched, 6));
    square(3, 0);
    EXPECT_TRUE(rig.LiveMelody(3, 0).mEnabled);
    EXPECT_EQ(colour(3, 0), IColorARGB(255, 0, 255, 0));

    // An enabled melody in a muted row stays enabled and muted.
    rig.W().Click(668, RowTop(2) + 7);
    EXPECT_EQ(colour(0, 2), IColorARGB(255, 255, 0, 0));
    square(0, 2);
    EXPECT_TRUE(rig.LiveMelody(0, 2).mEnabled);
    EXPECT_TRUE(rig.LiveMelody(0, 2).mMuted);
    // Outside the chord span the shades are darker.
    rig.Plug().SetParameterFromGUI(kNumStep, 5.0 / 11.0);
    EXPECT_EQ(colour(8, 0), IColorARGB(255, 0, 145, 0));
    EXPECT_EQ(colour(8, 2), IColorARGB(255, 145, 0, 0));
    EXPECT_EQ(colour(5, 0), IColorARGB(255, 0, 255, 0));
}

TEST(MelodyGrid, RepeatCountersDragWheelWrapAndFollowLoadedCounts)
{
    EditorRig rig;
    const int x = CellLeft(0) + 32, y = CellTop(0) + 3;
    auto* counter = dynamic_cast<ISpinnerControl*>(ControlAt(rig, x, y));
    ASSERT_NE(counter, nullptr);
    const auto count = [&] { return rig.LiveMelody(0, 0).mRepeatCount; };
    const auto shown = [&]
    {
        rig.Frame();
        return std::string(counter->GetText());
    };
    EXPECT_EQ(shown(), "1");
    // 144 pixels cover the whole range of 64 counts.
    rig.W().Drag(x, y, x, y - 7);
    EXPECT_EQ(count(), 4);
    EXPECT_EQ(shown(), "4");
    rig.W().Wheel(x, y, 2);
    EXPECT_EQ(count(), 5);
    rig.W().Drag(x, y, x, y + 10, 1); // below the first count: round to the last
    EXPECT_EQ(count(), 64);
    EXPECT_EQ(shown(), "64");

    // A state load brings another count: painting shows it and leaves it alone, and the
    // counter turns on from there.
    auto other = OpenedInstance();
    other->Engine().mProgression.GetMelody(0, 0)->mRepeatCount = 9;
    IByteChunk state;
    ASSERT_TRUE(other->WriteState(state));
    rig.Plug().ReadState(state, 0);
    EXPECT_EQ(shown(), "9");
    rig.Frame(2);
    EXPECT_EQ(count(), 9);
    rig.W().Wheel(x, y, 2);
    EXPECT_EQ(count(), 10);
    // A count outside the counter's range stays until a turn reaches another count.
    other->Engine().mProgression.GetMelody(0, 0)->mRepeatCount = 0;
    IByteChunk outside;
    ASSERT_TRUE(other->WriteState(outside));
    rig.Plug().ReadState(outside, 0);
    EXPECT_EQ(shown(), "0");
    IMouseKeys fine;
    fine.mS = true;
    rig.W().Wheel(x, y, 1, fine);
    EXPECT_EQ(count(), 0);
    rig.W().Wheel(x, y, 2);
    EXPECT_EQ(count(), 2);

    // Told to, the counters take the model's counts at once.
    {
        IMutexLock lock(rig.Plug().Mutex());
        rig.LiveMelody(11, 3).mRepeatCount = 33;
    }
    RefreshEditorModel(rig.Plug(), rig.mModel);
    {
        IMutexLock lock(rig.Plug().Mutex()); // as the editor's frame holds it
        rig.mpGrid->SyncRepeatCounters();
    }
    const auto* last =
        dynamic_cast<ISpinnerControl*>(ControlAt(rig, CellLeft(11) + 32, CellTop(3) + 3));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(std::string(last->GetText()), "33");
}
