// Edits made with the mouse, at the layout's coordinates, and what they do to the music: each
// scenario plays an edited instance and a reference one from the same start and compares the
// whole event streams, which must differ exactly as the edit says (or equal the reference
// that made the same change through the host).

#include "ChordSequencerSpanControl.h"
#include "EditorHarness.h"
#include "IContactControl.h"
#include "IGrooveMakerCanvas.h"
#include "ITextControl.h"
#include "OrlantixGui.h"
#include "OrlantixParamIndex.h"
#include "RightClickMenu.h"
#include "ValueReadOut.h"

#include <set>

using namespace editor_test;

namespace
{
constexpr long long kFrames = 16 * kPulse;

int StepX(int step)
{
    return 20 + 14 * step + 6;
}

// What a stream should be after the note-ons of the given pulses change their velocity.
std::vector<StreamEvent> WithVelocity(std::vector<StreamEvent> stream,
                                      const std::set<long long>& pulses, int velocity)
{
    for (StreamEvent& e : stream)
        if (IsNoteOn(e) && pulses.count(PulseOf(e)))
            e.mData2 = velocity;
    return stream;
}
} // namespace

TEST(EditorScenario, DrawingTheGrooveIsHeardExceptOnALockedStep)
{
    Harness edited, reference;
    GrooveMaker& groove = edited.Plug().Engine().mGroove;
    // The default pattern plays on the even pulses.
    edited.Window().Click(StepX(4), 624); // lock step 4
    edited.Window().Click(StepX(8), 638); // mute step 8
    // One stroke across steps 2 to 6 at 64: (614 - y) * 2.
    const int y64 = 614 - 32;
    edited.Window().Drag(StepX(2), y64, StepX(6), y64, 8);
    for (int step = 0; step < 48; ++step)
        EXPECT_EQ(groove.Velocity(step), (step >= 2 && step <= 6 && step != 4) ? 64 : 128) << step;
    EXPECT_TRUE(groove.Locked(4));
    EXPECT_TRUE(groove.Muted(8));

    // The top row gives 128, the last row 2, a drag below the canvas 0.
    edited.Window().Click(StepX(40), 613);
    EXPECT_EQ(groove.Velocity(40), 2);
    edited.Window().Click(StepX(40), 550);
    EXPECT_EQ(groove.Velocity(40), 128);
    edited.Window().Drag(StepX(41), 600, StepX(41), 640, 2);
    EXPECT_EQ(groove.Velocity(41), 0);
    // A stroke that arrives as one move (window systems fold the moves between two frames)
    // paints every step it crossed, along its slope: 28 at step 10 rising by 4 a step.
    edited.Window().Drag(StepX(10), 600, StepX(20), 580, 1);
    for (int step = 10; step <= 20; ++step)
        EXPECT_EQ(groove.Velocity(step), 28 + 4 * (step - 10)) << step;
    for (int step = 10; step <= 20; ++step)
        groove.SetVelocity(step, 128);

    // Drawn as it is: a bar 32 pixels high on step 3, the locked step full, the muted one grey.
    edited.Window().Tick();
    IGraphics& g = edited.Graphics();
    EXPECT_EQ(g.GetPixel(StepX(3), y64).mR, IGrooveMakerCanvas::kActive.mR);
    EXPECT_NE(g.GetPixel(StepX(3), y64 - 1).mR, IGrooveMakerCanvas::kActive.mR);
    EXPECT_EQ(g.GetPixel(StepX(4), 551).mR, IGrooveMakerCanvas::kActive.mR);
    EXPECT_EQ(g.GetPixel(StepX(8), 600).mR, IGrooveMakerCanvas::kMuted.mR);

    // Heard: velocity 100 x 64 / 128 on pulses 2, 3, 5 and 6, 0 on the muted pulse 8.
    const auto before = reference.Play(0, kFrames);
    const auto want = WithVelocity(WithVelocity(before, {2, 3, 5, 6}, 50), {8}, 0);
    const auto got = edited.Play(0, kFrames);
    EXPECT_EQ(FormatStream(got), FormatStream(want));
    int changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
        changed += before[i].mData2 != want[i].mData2;
    EXPECT_EQ(changed, 3); // the notes of pulses 2, 6 and 8
}

TEST(EditorScenario, KnobsSpinnersAndTheSwitchAreHeardAsTheHostsChangesAre)
{
    Harness edited, reference;
    // A groove that the sequence switch can be heard on.
    for (Harness* h : {&edited, &reference})
        h->Plug().Engine().mGroove.SetVelocity(2, 64);

    auto [vx, vy] = Harness::Centre(*edited.ControlOf(kVel));
    edited.Window().Drag(vx, vy, vx, vy - 16); // + 1/16 of the range: 108
    auto [tx, ty] = Harness::Centre(*edited.ControlOf(kTonic));
    edited.Window().Wheel(tx, ty, 1); // one note up
    auto [cx, cy] = Harness::Centre(*edited.ControlOf(kChan));
    edited.Window().Drag(cx, cy, cx, cy + 1, 1); // below channel 1 the spinner wraps to 16
    auto [mx, my] = Harness::Centre(*edited.ControlOf(kMode));
    edited.Window().AnswerMenu("Dorian");
    edited.Window().RightClick(mx, my);
    // The spinner's own items, then MIDI learn below a separator.
    const std::vector<std::string> modes = {"[x] Ionian", "Dorian",     "Phrygian",
                                            "Lydian",     "Mixolydian", "Aeolian",
                                            "Locrian",    "---",        "Learn MIDI CC"};
    EXPECT_EQ(ControlItems(edited.Window().LastMenu()), modes);
    auto [sx, sy] = Harness::Centre(*edited.ControlOf(kSeqEnab));
    edited.Window().Click(sx, sy);
    edited.Window().Tick(2);

    EXPECT_EQ(edited.Plug().GetParam(kVel)->Value(), 108.0);
    EXPECT_EQ(edited.Plug().GetParam(kTonic)->Value(), 61.0);
    EXPECT_EQ(edited.Plug().GetParam(kChan)->Value(), 16.0);
    EXPECT_EQ(edited.Plug().GetParam(kMode)->Value(), 1.0);
    EXPECT_EQ(edited.Plug().GetParam(kSeqEnab)->Value(), 0.0);
    EXPECT_STREQ(dynamic_cast<ITextControl*>(edited.ControlOf(kTonic))->GetText(), "C#5");

    reference.Host().SetParameter(kVel, reference.Normalised(kVel, 108));
    reference.Host().SetParameter(kTonic, reference.Normalised(kTonic, 61));
    reference.Host().SetParameter(kChan, reference.Normalised(kChan, 16));
    reference.Host().SetParameter(kMode, reference.Normalised(kMode, 1));
    reference.Host().SetParameter(kSeqEnab, 0.0f);
    const auto want = reference.Play(0, kFrames);
    const auto got = edited.Play(0, kFrames);
    EXPECT_EQ(FormatStream(got), FormatStream(want));
    // The groove cursor stays on step 0: every note at 108, on channel 16.
    ASSERT_FALSE(got.empty());
    for (const StreamEvent& e : got)
    {
        EXPECT_EQ(e.mStatus & 0x0F, 15);
        if (IsNoteOn(e))
        {
            EXPECT_EQ(e.mData2, 108);
        }
    }
}

TEST(EditorScenario, TheSpanControlsThumbsAndBarKeepToTheirLimits)
{
    Harness edited, reference;
    ChordSequencerSpanControl& span = edited.Editor().SpanControl();
    const int y = 118;
    auto at = [&](int p) { return span.PositionX(p); };
    // The low thumb to position 2: chord steps 3 to 12 (StepOne 3, NumStep 10).
    edited.Window().Drag(at(0), y, at(2) + 5, y, 2);
    EXPECT_EQ(span.Low(), 2);
    EXPECT_EQ(span.High(), 12);
    EXPECT_EQ(edited.Plug().GetParam(kStepOne)->Value(), 3.0);
    EXPECT_EQ(edited.Plug().GetParam(kNumStep)->Value(), 10.0);

    // Heard as the host's change of the same two parameters.
    reference.Host().SetParameter(kStepOne, reference.Normalised(kStepOne, 3));
    reference.Host().SetParameter(kNumStep, reference.Normalised(kNumStep, 10));
    EXPECT_EQ(FormatStream(edited.Play(0, kFrames)), FormatStream(reference.Play(0, kFrames)));
    // The host's change moves the reference's thumbs with its next frame.
    reference.Window().Tick();
    EXPECT_EQ(reference.Editor().SpanControl().Low(), 2);

    // Onto and past the high thumb: the low thumb stops one short of it.
    edited.Window().Drag(at(2), y, at(12) + 3, y, 20);
    EXPECT_EQ(span.Low(), 11);
    EXPECT_EQ(span.High(), 12);
    edited.Window().Drag(at(11), y, at(2), y, 20);
    EXPECT_EQ(span.Low(), 2);
    // The bar keeps its width and stops at the left end.
    const int middle = (at(2) + at(12)) / 2;
    edited.Window().Drag(middle, y, middle - 5 * span.CellWidth(), y, 10);
    EXPECT_EQ(span.Low(), 0);
    EXPECT_EQ(span.High(), 10);
    // The high thumb cannot pass the low one either.
    edited.Window().Drag(at(10), y, 2, y, 20);
    EXPECT_EQ(span.Low(), 0);
    EXPECT_EQ(span.High(), 1);
    // A press off the thumbs and the bar drags nothing.
    edited.Window().Drag(at(8), y, at(4), y, 4);
    EXPECT_EQ(span.High(), 1);
    EXPECT_EQ(edited.Plug().Engine().mProgression.StepCount(), 1);
    EXPECT_EQ(edited.Plug().Engine().mProgression.BeginStep(), 0);
}

// The "M" buttons act on every selected cell, the "R" buttons on rows whose twelve cells are
// all selected; a double click is a second press.
TEST(EditorScenario, EditButtonsApplyTheirCommandToTheSelection)
{
    Harness edited, reference;
    OrlantixGui& gui = edited.Plug().Gui();
    {
        IMutexLock lock(edited.Plug().Mutex()); // as the grid's clicks hold it
        gui.SelectCell(0, 0, true);
        gui.SelectCell(2, 0, true);
        gui.SelectRow(1, true);
    }
    edited.Window().Click(194 + 10, 522);       // M U: shift up by one
    edited.Window().DoubleClick(354 + 10, 522); // R U twice, on row 1 only
    reference.Plug().Gui().ApplyMelodyCommand(0, 0, 8, true);
    reference.Plug().Gui().ApplyMelodyCommand(2, 0, 8, true);
    reference.Plug().Gui().ApplyRowCommand(10, 1, 1);
    reference.Plug().Gui().ApplyRowCommand(10, 1, 1);

    const ChordProgression& a = edited.Plug().Engine().mProgression;
    const ChordProgression& b = reference.Plug().Engine().mProgression;
    Harness untouched;
    const ChordProgression& c = untouched.Plug().Engine().mProgression;
    int moved = 0;
    for (int p = 0; p < kPitchSetsPerMelody; ++p)
        moved += a.GetMelody(0, 0)->mPitchSets[p].mPlayingMask !=
                 c.GetMelody(0, 0)->mPitchSets[p].mPlayingMask +
                     (a.GetMelody(5, 1)->mPitchSets[p].mPlayingMask !=
                      c.GetMelody(5, 1)->mPitchSets[p].mPlayingMask);
    EXPECT_GT(moved, 0);
    for (int step = 0; step < MAX_STEPS; ++step)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
            for (int p = 0; p < kPitchSetsPerMelody; ++p)
                EXPECT_EQ(a.GetMelody(step, v)->mPitchSets[p].mPlayingMask,
                          b.GetMelody(step, v)->mPitchSets[p].mPlayingMask)
                    << step << "." << v << " pulse " << p;
    EXPECT_EQ(FormatStream(edited.Play(0, kFrames)), FormatStream(reference.Play(0, kFrames)));
    // The button springs back, and its trigger with it.
    EXPECT_EQ(edited.Editor().EditButton(2).GetValue(), 0.0);
    EXPECT_EQ(edited.Plug().GetParam(214)->Value(), 0.0);
}
