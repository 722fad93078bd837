// The editor as construction leaves it: every control in its order, at its place, with its
// image and parameter; the knobs' read-outs; and what the host hears of the editor's edits.

#include "ChordSequencerSpanControl.h"
#include "CounterControl.h"
#include "EditorHarness.h"
#include "EnableControl.h"
#include "IContactControl.h"
#include "IGrooveMakerCanvas.h"
#include "IGrooveMakerStepMarker.h"
#include "IKnobMultiControl.h"
#include "ISpinnerControl.h"
#include "MelodyCanvas.h"
#include "MelodyModifierControl.h"
#include "MelodyRowControl.h"
#include "OrlantixParamIndex.h"
#include "PlayMarkerCanvas.h"
#include "PresetNameControl.h"
#include "RowMuteSwitch.h"
#include "StrikeModifierControl.h"
#include "ValueReadOut.h"

using namespace editor_test;
using namespace editor_layout;

namespace
{
template <class T>
T* As(IControl* c)
{
    return dynamic_cast<T*>(c);
}
} // namespace

TEST(Editor, IsBuiltInItsOrderFromTheLayoutTable)
{
    Harness h;
    IGraphicsWin& g = h.Graphics();
    int i = 0;
    auto next = [&] { return g.GetControl(i++); };

    auto* background = As<IBitmapControl>(next());
    ASSERT_TRUE(background);
    EXPECT_EQ(background->GetRECT(), IRect(0, 0, 720, 650));
    for (const Knob& k : kKnobs)
    {
        auto* knob = As<IKnobMultiControl>(next());
        ASSERT_TRUE(knob) << k.mName;
        EXPECT_EQ(knob->GetRECT().mL, k.mX);
        EXPECT_EQ(knob->GetRECT().mT, k.mY);
        EXPECT_GE(knob->ParamIdx(), 0) << k.mName;
        EXPECT_STREQ(h.Plug().GetParam(knob->ParamIdx())->Name(), k.mName);
        EXPECT_EQ(knob->Bitmap().mN, k.mFrames) << k.mName;
        auto* readOut = As<ITextControl>(next());
        ASSERT_TRUE(readOut);
        EXPECT_EQ(readOut->GetRECT(), ReadOutRect(k));
        EXPECT_EQ(readOut->ParamIdx(), -1);
    }
    auto* enable = As<ISwitchControl>(next());
    ASSERT_TRUE(enable);
    EXPECT_EQ(enable->GetRECT(), IRect(19, 509, 35, 525));
    EXPECT_EQ(enable->ParamIdx(), kSeqEnab);
    for (const Spinner& s : kSpinners)
    {
        auto* spinner = As<ISpinnerControl>(next());
        ASSERT_TRUE(spinner) << s.mName;
        EXPECT_EQ(spinner->GetRECT(), SpinnerRect(s));
        EXPECT_STREQ(h.Plug().GetParam(spinner->ParamIdx())->Name(), s.mName);
    }
    // The left column of spinners, then the right one.
    EXPECT_STREQ(kSpinners[3].mName, "ival1");
    EXPECT_STREQ(kSpinners[std::size(kSpinners) - 1].mName, "Scale");

    // Step 6: the melody grid, chord step by chord step, then the rows' controls.
    for (int k = 0; k < MAX_STEPS; ++k)
        for (int v = 0; v < MAX_VARIATIONS_PER_CHORD; ++v)
        {
            const int a = 20 + 52 * k;
            const int b = 128 + 63 * v;
            auto* canvas = As<MelodyCanvas>(next());
            ASSERT_TRUE(canvas);
            EXPECT_EQ(canvas->GetRECT(), IRect(a, b + 10, a + 41, b + 51)); // its frame included
            EXPECT_TRUE(As<EnableControl>(next()));
            EXPECT_TRUE(As<PlayMarkerCanvas>(next()));
            auto* counter = As<CounterControl>(next());
            ASSERT_TRUE(counter);
            EXPECT_EQ(counter->GetRECT(), IRect(a + 24, b - 3, a + 40, b + 9));
        }
    for (int r = 0; r < MAX_VARIATIONS_PER_CHORD; ++r)
    {
        const int t = 138 + 63 * r;
        auto* row = As<MelodyRowControl>(next());
        ASSERT_TRUE(row);
        EXPECT_EQ(row->GetRECT(), IRect(2, t, 19, t + 15));
        auto* solo = As<ISwitchControl>(next());
        ASSERT_TRUE(solo);
        EXPECT_EQ(solo->GetRECT().mL, 644);
        EXPECT_EQ(solo->ParamIdx(), kRowSolo1 + r);
        auto* mute = As<RowMuteSwitch>(next());
        ASSERT_TRUE(mute);
        EXPECT_EQ(mute->GetRECT().mL, 646 + solo->GetRECT().W());
    }

    EXPECT_EQ(next(), &h.Editor().GrooveCanvas());
    EXPECT_EQ(h.Editor().GrooveCanvas().GetRECT(), IRect(20, 550, 690, 614));
    EXPECT_EQ(next(), &h.Editor().GrooveMarker());
    EXPECT_EQ(h.Editor().GrooveMarker().GetRECT(), IRect(20, 616, 690, 618));
    for (int step = 0; step < 48; ++step)
    {
        auto* lock = As<ISwitchControl>(next());
        auto* mute = As<ISwitchControl>(next());
        ASSERT_TRUE(lock && mute);
        EXPECT_EQ(lock->GetRECT(), IRect(20 + 14 * step, 618, 32 + 14 * step, 630));
        EXPECT_EQ(mute->GetRECT(), IRect(20 + 14 * step, 632, 32 + 14 * step, 644));
        EXPECT_EQ(lock->ParamIdx(), 62 + step);
        EXPECT_EQ(mute->ParamIdx(), 111 + step);
    }
    for (int b = 0; b < OrlantixEditor::kNumEditButtons; ++b)
    {
        auto* button = As<IContactControl>(next());
        ASSERT_TRUE(button);
        EXPECT_EQ(button, &h.Editor().EditButton(b));
        EXPECT_EQ(button->GetRECT().mT, 512);
        EXPECT_TRUE(button->DblAsSingleClick());
    }
    // "M D" names two triggers: the button at 218 is the first (shift down), never "disable".
    EXPECT_EQ(h.Editor().EditButton(3).GetRECT().mL, 218);
    EXPECT_EQ(h.Editor().EditButton(3).ParamIdx(), 215);
    EXPECT_EQ(h.Editor().EditButton(14).ParamIdx(), 232); // "R LRp"

    // Step 10: the strike pane, then the melody pane, each from its run switch on.
    for (int pane = 0; pane < 2; ++pane)
    {
        auto* run = As<ISwitchControl>(next());
        ASSERT_TRUE(run);
        EXPECT_EQ(run->GetRECT().mL, pane == 0 ? 20 : 436);
        EXPECT_EQ(run->ParamIdx(), pane == 0 ? kStkRun : kMelRun);
        for (int step = 0; step < 8; ++step)
        {
            IControl* button = next();
            EXPECT_TRUE(pane == 0 ? As<StrikeModifierControl>(button) != nullptr
                                  : As<MelodyModifierControl>(button) != nullptr);
            EXPECT_EQ(next()->ParamIdx(), (pane == 0 ? kStkModT1 : kMekModT1) + step); // pin
            EXPECT_EQ(next()->ParamIdx(), -1);                                         // marker
        }
    }

    EXPECT_EQ(next(), &h.Editor().PresetField());
    EXPECT_EQ(h.Editor().PresetField().GetRECT(), IRect(555, 516, 713, 533)); // with its outline
    EXPECT_EQ(h.Editor().PresetField().ParamIdx(), kPresetField);
    EXPECT_STREQ(h.Editor().PresetField().GetText(), "PRESET");
    // With the 10-pixel thumb: the track runs from 20 to 636 in cells of 51.
    ChordSequencerSpanControl& span = h.Editor().SpanControl();
    EXPECT_EQ(next(), &span);
    EXPECT_EQ(span.GetRECT(), IRect(15, 111, 638, 125)); // above the repeat counters
    EXPECT_EQ(span.Track().mL, 20);
    EXPECT_EQ(span.Track().mR, 636);
    EXPECT_EQ(span.CellWidth(), 51);
    EXPECT_EQ(i, g.NControls());

    // A knob of a frame count no image has takes the 101-frame image.
    EXPECT_EQ(KnobImageFor(60), 106);
    EXPECT_EQ(KnobImageFor(8), 121);
    // Off screen the editor is built and painted, but not offered to the host.
    EXPECT_EQ(h.Host().Effect()->flags & vst2::kFlagHasEditor, 0);
    vst2::EditorRect* rect = nullptr;
    EXPECT_EQ(h.Host().Dispatch(vst2::effEditGetRect, 0, 0, &rect), 0);
}

// Each control draws only inside its own rectangle, and no rectangle overlaps another (the
// background's aside): a read-out over the pins reads as a pin's label, and a press on the
// shared pixels would reach only the topmost control.
TEST(Editor, NoTwoControlsOverlap)
{
    Harness h;
    IGraphicsWin& g = h.Graphics();
    for (int i = 1; i < g.NControls(); ++i)
        for (int j = i + 1; j < g.NControls(); ++j)
        {
            const IRect& a = g.GetControl(i)->GetRECT();
            const IRect& b = g.GetControl(j)->GetRECT();
            EXPECT_FALSE(a.Intersects(b))
                << "controls " << i << " (" << a.mL << ", " << a.mT << ")-(" << a.mR << ", " << a.mB
                << ") and " << j << " (" << b.mL << ", " << b.mT << ")-(" << b.mR << ", " << b.mB
                << ")";
        }
}

TEST(Editor, ReadOutsFollowTheirKnobsInTheParametersOwnTerms)
{
    Harness h;
    auto rectOf = [&](int param)
    {
        for (const Knob& k : kKnobs)
            if (ParamIndexNamed(h.Plug(), k.mName) == param)
                return ReadOutRect(k);
        return IRect();
    };
    auto text = [&](int param)
    {
        for (const auto& readOut : h.Editor().ReadOuts())
            if (readOut->Text().GetRECT() == rectOf(param))
                return std::string(readOut->Text().GetText());
        return std::string("(none)");
    };
    EXPECT_EQ(text(kTimeUnits), "1/8"); // enumerated
    EXPECT_EQ(text(kVel), "100");       // integer
    EXPECT_EQ(text(kSwing), "0.00");    // real
    EXPECT_EQ(text(kStkLen), "8");

    // A drag up by 16 pixels at gearing 8 on a 32-pixel knob: + 1/16 of the range.
    auto [x, y] = Harness::Centre(*h.ControlOf(kVel));
    h.Window().Drag(x, y, x, y - 16);
    EXPECT_EQ(h.Plug().GetParam(kVel)->Value(), 108.0);
    h.Window().Tick();
    EXPECT_EQ(text(kVel), "108");

    // The host's value arrives with the next frame, and the read-out with it.
    h.Host().SetParameter(kSwing, 0.25f);
    EXPECT_EQ(text(kSwing), "0.00");
    h.Window().Tick();
    EXPECT_EQ(text(kSwing), "0.25");

    // A greyed knob greys its read-out.
    h.ControlOf(kSwing)->SetGreyed(true);
    h.Window().Tick();
    for (const auto& readOut : h.Editor().ReadOuts())
        EXPECT_EQ(readOut->Text().IsGreyed(), readOut->Text().GetRECT() == rectOf(kSwing));
}

// Dragged a pixel at a time toward the far end of its range, every knob of a stepped parameter
// moves a step at least every 20 pixels, however few steps it has (the pulse count has three
// positions: at the editor's gearing a step took 128 pixels). Knobs whose steps were that short
// already keep the editor's gearing.
TEST(Editor, EveryKnobMovesAStepForAShortDrag)
{
    for (const Knob& k : kKnobs)
    {
        Harness h;
        const int idx = ParamIndexNamed(h.Plug(), k.mName);
        const IParameter& param = *h.Plug().GetParam(idx);
        if (param.Type() == IParameter::kTypeDouble)
            continue;
        IControl& knob = *h.ControlOf(idx);
        const int up = param.Value() < param.Max() ? -1 : 1;
        auto [x, y] = Harness::Centre(knob);
        IMouseKeys held;
        held.mL = true;
        h.Window().Press(x, y);
        std::vector<int> changes; // the drag lengths at which the value changed
        double last = param.Value();
        for (int d = 1; d <= 200 && changes.size() < 2; ++d)
        {
            h.Window().Move(x, y + up * d, held);
            if (param.Value() != last)
                changes.push_back(d);
            last = param.Value();
        }
        h.Window().Release(x, y + up * 200);
        ASSERT_EQ(changes.size(), 2u) << k.mName;
        EXPECT_LE(changes[0], 20) << k.mName;
        EXPECT_LE(changes[1] - changes[0], 20) << k.mName;
        const double range = param.Max() - param.Min();
        const double stepPixels = (knob.GetRECT().H() * 8.0) * param.Step() / range;
        if (stepPixels <= 20.0)
        {
            // The editor's gearing, 8: a step every stepPixels, as before.
            EXPECT_NEAR(changes[1] - changes[0], stepPixels, 1.0) << k.mName;
        }
    }

    // The case reported: a 40-pixel drag on the pulse count, from 4, moves it.
    Harness h;
    auto [x, y] = Harness::Centre(*h.ControlOf(kNumPulse));
    h.Window().Drag(x, y, x, y + 40, 4);
    EXPECT_LT(h.Plug().GetParam(kNumPulse)->Value(), 4.0);
}

TEST(Editor, AWheelNotchMovesAKnobOfFewStepsOneStep)
{
    for (const Knob& k : kKnobs)
    {
        Harness h;
        const int idx = ParamIndexNamed(h.Plug(), k.mName);
        const IParameter& param = *h.Plug().GetParam(idx);
        auto [x, y] = Harness::Centre(*h.ControlOf(idx));
        const double before = param.Value();
        const int notch = before < param.Max() ? 1 : -1;
        h.Window().Wheel(x, y, notch);
        const double moved = std::abs(param.Value() - before);
        const double range = param.Max() - param.Min();
        if (param.Type() != IParameter::kTypeDouble && param.Step() / range > 0.01)
            EXPECT_DOUBLE_EQ(moved, param.Step()) << k.mName; // exactly one step
        else
            EXPECT_LE(moved, 0.011 * range) << k.mName; // a hundredth, as every control
    }
}

// The host knows the first 60 parameters only: the editor's controls of the others (groove
// locks and mutes, edit triggers, the preset field) must not be reported to it, since a host
// may index its own parameter array with what it hears; they still reach the plug-in.
TEST(Editor, TheHostHearsOnlyOfTheParametersItKnows)
{
    Harness h;
    h.Host().ClearCaptures();
    h.Window().Click(20 + 14 * 5 + 6, 624); // lock step 5
    h.Window().Click(20 + 14 * 2 + 6, 638); // mute step 2
    h.Window().Click(194 + 10, 512 + 10);   // "M U"
    h.Window().DoubleClick(194 + 10, 522);  // counted as a press
    h.Window().AnswerMenu(0);
    h.Window().Click(600, 524); // the preset field opens its menu
    EXPECT_EQ(h.Window().MenusShown(), 1);
    EXPECT_TRUE(h.Plug().Engine().mGroove.Locked(5));
    EXPECT_TRUE(h.Plug().Engine().mGroove.Muted(2));
    EXPECT_EQ(h.Plug().GetParam(kGrooveLock0 + 5)->Value(), 1.0);
    EXPECT_TRUE(h.Host().Automation().empty());
    EXPECT_TRUE(h.Host().Gestures().empty());

    auto [x, y] = Harness::Centre(*h.ControlOf(kTimeUnits));
    h.Window().Drag(x, y, x, y - 40, 2);
    ASSERT_FALSE(h.Host().Automation().empty());
    for (const orxhost::AutomationRecord& a : h.Host().Automation())
        EXPECT_EQ(a.mIndex, kTimeUnits);
    ASSERT_EQ(h.Host().Gestures().size(), 2u);
    EXPECT_TRUE(h.Host().Gestures()[0].mBegin);
    EXPECT_EQ(h.Host().Gestures()[1].mIndex, kTimeUnits);
}
