// Mouse routing through the graphics context and the controls' own arithmetic.

#include "GraphicsTestSupport.h"
#include "IContactControl.h"
#include "IGraphicsLice.h"
#include "IKnobMultiControl.h"
#include "ISpinnerControl.h"
#include "ISwitchControl.h"
#include "ITextControl.h"

#include <gtest/gtest.h>

namespace
{
IMouseKeys Left()
{
    IMouseKeys k;
    k.mL = true;
    return k;
}

IMouseKeys Shift()
{
    IMouseKeys k = Left();
    k.mS = true;
    return k;
}

struct Editor : ::testing::Test
{
    EditorPlug mPlug;
    IGraphicsLice* mpG = new IGraphicsLice(&mPlug, 200, 100);
    void SetUp() override { mPlug.AttachEditor(mpG); }
    template <class C>
    C* Add(C* c)
    {
        mpG->AddControl(c);
        return c;
    }
};
} // namespace

TEST_F(Editor, HitTestingTakesTheTopmostVisibleUngreyedControlAndCaptureOverridesIt)
{
    Add(new CountingControl(&mPlug, IRect(0, 0, 100, 100)));
    auto* middle = Add(new CountingControl(&mPlug, IRect(10, 10, 60, 60)));
    auto* top = Add(new CountingControl(&mPlug, IRect(20, 20, 40, 40)));
    auto* untargeted = Add(new CountingControl(&mPlug, IRect(20, 20, 40, 40)));
    untargeted->SetTargetArea(IRect());

    EXPECT_EQ(mpG->FindControlAt(30, 30), 2);
    top->SetHidden(true);
    EXPECT_EQ(mpG->FindControlAt(30, 30), 1);
    middle->SetGreyed(true);
    EXPECT_EQ(mpG->FindControlAt(30, 30), 0);
    EXPECT_EQ(mpG->FindControlAt(99, 99), 0);
    EXPECT_EQ(mpG->FindControlAt(100, 50), -1); // right and bottom are exclusive

    mpG->MouseDown(5, 5, Left());
    EXPECT_EQ(mpG->FindControlAt(150, 90), 0);
    mpG->MouseUp(150, 90, Left());
    EXPECT_EQ(mpG->FindControlAt(150, 90), -1);
}

TEST_F(Editor, KnobDragStaysCapturedOffTheKnobAndSendsOneGesture)
{
    Filmstrip strip(30, 30, 60);
    auto* knob = Add(new IKnobMultiControl(&mPlug, 10, 10, kGain, strip.mHandle, 1.0));
    auto* other = Add(new CountingControl(&mPlug, IRect(100, 0, 200, 100), kSteps));
    PushFromHost(*mpG, kGain, 0.0, true);
    mPlug.mLog.clear();

    mpG->MouseDown(20, 30, Left());
    mpG->MouseDrag(20, 15, Left()); // up 15 of 30 pixels at gearing 1: +0.5
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0.5);
    mpG->MouseDrag(150, 0, Left());   // over the other control, up 15 more: clamped at 1
    mpG->MouseDrag(150, 0, Left());   // no movement: no drag
    mpG->MouseDrag(150, 200, Left()); // down 200: clamped at 0
    mpG->MouseUp(150, 200, Left());
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0.0);
    EXPECT_TRUE(other->mDrags.empty());
    EXPECT_EQ(other->mUps, 0);
    // The host hears of each value after the handler ran, once the instance lock is free.
    EXPECT_EQ(mPlug.mLog, (std::vector<std::string>{"begin 0", "change 0", "report 0", "change 0",
                                                    "report 0", "change 0", "report 0", "end 0"}));

    mpG->MouseDown(20, 30, Shift());
    mpG->MouseDrag(20, 15, Shift()); // ten times finer
    mpG->MouseUp(20, 15, Shift());
    EXPECT_NEAR(knob->GetValue(), 0.05, 1e-12);
    EXPECT_DOUBLE_EQ(mPlug.GetParam(kGain)->Value(), 0.5);
}

TEST_F(Editor, APressReleasedWhereItBeganChangesNothing)
{
    auto* c = Add(new CountingControl(&mPlug, IRect(0, 0, 50, 50), kGain));
    mpG->MouseDrag(10, 10, Left()); // nothing captured: ignored
    mpG->MouseDown(10, 10, Left());
    mpG->MouseDrag(10, 10, Left());
    mpG->MouseUp(10, 10, Left());
    EXPECT_TRUE(c->mDrags.empty());
    EXPECT_EQ(mPlug.mLog, (std::vector<std::string>{"begin 0", "end 0"}));
    EXPECT_EQ(mpG->CapturedControl(), -1);
}

TEST_F(Editor, DoubleClickRestoresTheDefaultOrActsAsAPress)
{
    Filmstrip strip(30, 30, 60), led(16, 16, 2);
    auto* knob = Add(new IKnobMultiControl(&mPlug, 0, 0, kGain, strip.mHandle, 1.0));
    auto* sw = Add(new ISwitchControl(&mPlug, 100, 0, kOn, led.mHandle));
    PushFromHost(*mpG, kGain, 2.0, false); // the first value from the host is the default
    PushFromHost(*mpG, kOn, 0.0, true);
    mpG->MouseDown(10, 10, Left());
    mpG->MouseDrag(10, 0, Left());
    mpG->MouseUp(10, 0, Left());
    ASSERT_NE(knob->GetValue(), 0.2);

    EXPECT_FALSE(mpG->DoubleClick(10, 10, Left()));
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0.2);
    EXPECT_EQ(mpG->CapturedControl(), -1);

    EXPECT_FALSE(mpG->DoubleClick(105, 5, Left())); // a switch without the flag: its default
    EXPECT_EQ(sw->GetValue(), 0.0);
    sw->SetDblAsSingleClick(true);
    mpG->MouseDown(105, 5, Left());
    mpG->MouseUp(105, 5, Left());
    EXPECT_TRUE(mpG->DoubleClick(105, 5, Left())); // the second click of the pair toggles back
    EXPECT_EQ(sw->GetValue(), 0.0);
    EXPECT_EQ(mpG->CapturedControl(), 1);
    mpG->MouseUp(105, 5, Left());
    EXPECT_EQ(mpG->CapturedControl(), -1);
}

TEST_F(Editor, WheelSwitchAndSpinnerArithmetic)
{
    Filmstrip two(8, 8, 2), three(8, 8, 3);
    auto* plain = Add(new CountingControl(&mPlug, IRect(0, 0, 10, 10), kGain));
    auto* sw2 = Add(new ISwitchControl(&mPlug, 20, 0, kOn, two.mHandle));
    auto* sw3 = Add(new ISwitchControl(&mPlug, 40, 0, -1, three.mHandle));
    auto* contact = Add(new IContactControl(&mPlug, 60, 0, -1, two.mHandle));
    ITextStyle style;
    auto* spin = Add(new ISpinnerControl(&mPlug, IRect(100, 0, 150, 16), kSteps, style, nullptr,
                                         true, false, ISpinnerControl::kVertical, 1.0));

    PushFromHost(*mpG, kGain, 0.5, true);
    mpG->Wheel(5, 5, {}, 1);
    EXPECT_DOUBLE_EQ(plain->GetValue(), 0.51);
    mpG->Wheel(5, 5, Shift(), -1);
    EXPECT_DOUBLE_EQ(plain->GetValue(), 0.509);
    mpG->Wheel(5, 5, {}, -200);
    EXPECT_EQ(plain->GetValue(), 0.0);

    std::vector<double> seen2, seen3;
    for (int i = 0; i < 3; ++i)
    {
        mpG->MouseDown(21, 1, Left());
        mpG->MouseUp(21, 1, Left());
        seen2.push_back(sw2->GetValue());
        mpG->MouseDown(41, 1, Left());
        mpG->MouseUp(41, 1, Left());
        seen3.push_back(sw3->GetValue());
    }
    EXPECT_EQ(seen2, (std::vector<double>{1.0, 0.0, 1.0}));
    EXPECT_EQ(seen3, (std::vector<double>{0.5, 1.0, 0.0}));
    EXPECT_EQ(mPlug.GetParam(kOn)->Value(), 1.0);
    mpG->MouseDown(61, 1, Left());
    EXPECT_EQ(contact->GetValue(), 1.0);
    mpG->MouseUp(61, 1, Left());
    EXPECT_EQ(contact->GetValue(), 0.0);

    // Steps 1..16: one step per notch, wrapping at both ends.
    PushFromHost(*mpG, kSteps, 16.0, false);
    mpG->Wheel(110, 5, {}, 1);
    EXPECT_EQ(spin->GetValue(), 0.0);
    mpG->Wheel(110, 5, {}, 1);
    EXPECT_DOUBLE_EQ(spin->GetValue(), 1.0 / 15.0);
    EXPECT_EQ(mPlug.GetParam(kSteps)->Value(), 2.0);
    mpG->MouseDown(110, 10, Left());
    mpG->MouseDrag(110, 2, Left()); // up half the height at gearing 1
    EXPECT_DOUBLE_EQ(spin->GetValue(), 1.0 / 15.0 + 0.5);
    mpG->MouseDrag(110, -20, Left()); // past the top: wraps to 0
    mpG->MouseUp(110, -20, Left());
    EXPECT_EQ(spin->GetValue(), 0.0);
    spin->SetGreyed(true);
    spin->HandleWheel(0, 0, {}, 3);
    EXPECT_EQ(spin->GetValue(), 0.0);
}

TEST(ControlArithmetic, FrameChoiceAndGreyedTextColour)
{
    EXPECT_EQ(FrameForValue(0.5, 60), 31);
    EXPECT_EQ(FrameForValue(1.0, 60), 60);
    EXPECT_EQ(FrameForValue(0.0, 60), 1);
    EXPECT_EQ(FrameForValue(-3.0, 60), 1);
    EXPECT_EQ(FrameForValue(7.0, 60), 60);
    EXPECT_EQ(FrameForValue(0.9, 1), 1);
    EXPECT_EQ(FrameTop(600, 60, 31), 300);
    EXPECT_EQ(FrameTop(100, 3, 2), 33);
    EXPECT_EQ(FrameTop(100, 3, 3), 67); // rounded, not truncated
    EXPECT_EQ(ITextControl::GreyedColor({255, 200, 100, 50}), IColorARGB(255, 72, 0, 0));
    EXPECT_EQ(ITextControl::GreyedColor({10, 129, 128, 255}), IColorARGB(255, 1, 0, 127));
}
