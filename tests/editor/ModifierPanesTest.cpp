// The two modifier panes driven by mouse events at their coordinates: buttons stepping through
// the modifiers and wrapping, pins, run switches, the step menus, and the markers that follow
// the span and the step playing.

#include "EditorRig.h"
#include "IControl.h"
#include "RightClickMenu.h"

#include <gtest/gtest.h>

namespace
{
// Step i's column in the strike pane (the run switch is 24 pixels wide) and in the melody pane.
constexpr auto StrikeX = [](int step) { return 49 + 29 * step; };
constexpr auto MelodyX = [](int step) { return 465 + 29 * step; };
constexpr int kPinY = 410;
constexpr int kStrikeButtonY = 426; // below the 14-pixel pin, two pixels apart
constexpr int kMelodyButtonY = 425; // one pixel higher
constexpr int kStrikeMarkerY = 443; // under the 16-pixel button, one pixel apart
constexpr int kMelodyMarkerY = 442;

int StrikeValue(EditorRig& rig, int step)
{
    return static_cast<int>(rig.Plug().Engine().mStrikeSeq.StepAt(step).mValue);
}
int MelodyValue(EditorRig& rig, int step)
{
    return static_cast<int>(rig.Plug().Engine().mMelodySeq.StepAt(step).mValue);
}

const IColorARGB kRed{255, 255, 0, 0};
const IColorARGB kWhite{255, 255, 255, 255};
const IColorARGB kGrey{255, 127, 127, 127};
} // namespace

TEST(ModifierPanes, ButtonsStepThroughTheModifiersAndWrapAndTheChangeIsHeard)
{
    EditorRig rig;
    // Each control sits where the images' sizes put it.
    const auto at = [&](int x, int y) { return rig.mpG->GetControl(rig.mpG->FindControlAt(x, y)); };
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(at(StrikeX(i), kStrikeButtonY)->GetRECT(),
                  IRect(StrikeX(i), kStrikeButtonY, StrikeX(i) + 24, kStrikeButtonY + 16));
        EXPECT_EQ(at(MelodyX(i), kMelodyButtonY)->ParamIdx(), kMelMod1 + i);
        EXPECT_EQ(at(MelodyX(i), kPinY)->ParamIdx(), kMekModT1 + i);
        EXPECT_EQ(at(StrikeX(i), kPinY)->ParamIdx(), kStkModT1 + i);
        EXPECT_EQ(at(StrikeX(i) + 23, kStrikeMarkerY + 5)->GetRECT(),
                  IRect(StrikeX(i), kStrikeMarkerY, StrikeX(i) + 24, kStrikeMarkerY + 6));
        EXPECT_EQ(at(MelodyX(i), kMelodyMarkerY)->GetRECT().mB, kMelodyMarkerY + 6);
    }

    // From " -- " (11) to "Orig" (12), then round to "^ 1" (0) and through every value.
    std::vector<int> seen;
    for (int n = 0; n < 14; ++n)
    {
        rig.W().Click(StrikeX(1) + 5, kStrikeButtonY + 5);
        seen.push_back(StrikeValue(rig, 1));
    }
    EXPECT_EQ(seen, (std::vector<int>{12, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    for (int expected : {17, 18, 0, 1})
    {
        rig.W().Click(MelodyX(3) + 5, kMelodyButtonY + 5);
        EXPECT_EQ(MelodyValue(rig, 3), expected);
    }
    rig.W().Click(StrikeX(1) + 5, kPinY + 5);
    EXPECT_EQ(rig.Plug().Engine().mStrikeSeq.StepAt(1).mPermanence, kPermanent);
    rig.W().Click(20 + 5, kPinY + 5);
    EXPECT_FALSE(rig.Plug().Engine().mStrikeSeq.Running());
    rig.W().Click(20 + 5, kPinY + 5);

    // Strike step 2 at "^ 1", permanent, and melody step 4 at "T/B": heard as the engine plays.
    rig.W().Click(StrikeX(1) + 5, kStrikeButtonY + 5);
    auto reference = std::make_unique<Orlantix>(nullptr);
    OpenInstance(*reference);
    reference->Engine().SetModifierValue(ModifierPane::kStrike, 1, kStrikeUp1);
    reference->Engine().SetModifierPermanence(ModifierPane::kStrike, 1, kPermanent);
    reference->Engine().SetModifierValue(ModifierPane::kMelody, 3, kMelodyFlipTB);
    auto untouched = std::make_unique<Orlantix>(nullptr);
    OpenInstance(*untouched);
    const auto heard = Play(rig.Plug(), 6);
    EXPECT_TRUE(heard == Play(*reference, 6));
    EXPECT_FALSE(heard == Play(*untouched, 6));
}

TEST(ModifierPanes, StepMenusListTheirGroupsAndMarkTheStepsValue)
{
    EditorRig rig;
    rig.W().AnswerMenu("Flip");
    rig.W().RightClick(StrikeX(2) + 5, kStrikeButtonY + 5);
    EXPECT_EQ(ControlItems(rig.W().LastMenu()),
              (std::vector<std::string>{"^ 1", "^ 2", "^ 3", "^ 4", "---", "v 1", "v 2", "v 3",
                                        "v 4", "---", "Flip", "Rand", "Mute", "---", "[x]  -- ",
                                        "Orig", "---", "Learn MIDI CC"}));
    EXPECT_EQ(StrikeValue(rig, 2), kStrikeFlip);
    rig.W().AnswerMenu(0);
    rig.W().RightClick(StrikeX(2) + 5, kStrikeButtonY + 5);
    EXPECT_EQ(ControlItems(rig.W().LastMenu())[10], "[x] Flip");
    EXPECT_EQ(StrikeValue(rig, 2), kStrikeFlip);

    rig.W().AnswerMenu("Rand");
    rig.W().RightClick(MelodyX(5) + 5, kMelodyButtonY + 5);
    EXPECT_EQ(ControlItems(rig.W().LastMenu()),
              (std::vector<std::string>{
                  "^ 1", "^ 2", "^ 3",  "^ 4", "---",      "v 1",  "v 2", "v 3",          "v 4",
                  "---", "< 1", "< 2",  "< 3", "---",      "> 1",  "> 2", "> 3",          "---",
                  "L/R", "T/B", "Rand", "---", "[x]  -- ", "Orig", "---", "Learn MIDI CC"}));
    EXPECT_EQ(MelodyValue(rig, 5), kMelodyRand);
    // The button shows the chosen value: a click goes on from it.
    rig.W().Click(MelodyX(5) + 5, kMelodyButtonY + 5);
    EXPECT_EQ(MelodyValue(rig, 5), kMelodyOrig);
}

TEST(ModifierPanes, MarkersAreRedOutsideTheSpanAndWhereTheSequencerStands)
{
    EditorRig rig;
    // Strike steps 3 to 5, counting from 1.
    rig.Plug().SetParameterFromGUI(kStkBegin, 2.0 / 7.0);
    rig.Plug().SetParameterFromGUI(kStkLen, 2.0 / 7.0);
    for (int bars = 0; bars < 3; ++bars)
    {
        Play(rig.Plug(), 1, bars * 88200LL);
        rig.Frame();
        const int strikeAt = rig.mModel.PaneOf(ModifierPane::kStrike).mCursor;
        const int melodyAt = rig.mModel.PaneOf(ModifierPane::kMelody).mCursor;
        EXPECT_TRUE(strikeAt >= 2 && strikeAt <= 4) << strikeAt;
        for (int i = 0; i < 8; ++i)
        {
            const IColorARGB strike = rig.Pixel(StrikeX(i) + 12, kStrikeMarkerY + 3);
            if (i < 2 || i > 4)
                EXPECT_EQ(strike, kRed) << i;
            else
                EXPECT_EQ(strike, i == strikeAt ? kWhite : kGrey) << i;
            EXPECT_EQ(rig.Pixel(MelodyX(i) + 12, kMelodyMarkerY + 3),
                      i == melodyAt ? kWhite : kGrey)
                << i;
        }
    }
    // The span follows at once, whatever plays.
    rig.Plug().SetParameterFromGUI(kStkLen, 1.0);
    rig.Frame();
    EXPECT_EQ(rig.Pixel(StrikeX(7) + 12, kStrikeMarkerY + 3), kGrey);
    EXPECT_EQ(rig.Pixel(StrikeX(1) + 12, kStrikeMarkerY + 3), kRed);
}
