// Parameters as the host sees them: names, automation through the 0..1 range with the base's
// rounding to steps, and the texts it displays.

#include "HostedOrlantix.h"

#include <cmath>

TEST_F(HostedOrlantix, TheThirtyNamedHostParametersAndThirtyBlankOnes)
{
    Start();
    const char* const names[30] = {"TimeUnits", "LengthUnits", "Slow",     "Swing",   "Chan",
                                   "Vel",       "VelJitt",     "LenJitt",  "Human",   "Tonic",
                                   "NumStep",   "NumPulse",    "ival1",    "ival2",   "ival3",
                                   "ival4",     "ival5",       "ival6",    "ival7",   "ival8",
                                   "ival9",     "ival10",      "ival11",   "ival12",  "SeqSteps",
                                   "SeqEnab",   "mode",        "LifeProb", "StepOne", "StepDir"};
    for (int i = 0; i < 30; ++i)
    {
        EXPECT_EQ(mHost.ParamName(i), names[i]) << i;
        EXPECT_EQ(mHost.ParamLabel(i), "") << i;
    }
    for (int i = 30; i < 60; ++i)
    {
        EXPECT_EQ(mHost.ParamName(i), "") << i;
        EXPECT_EQ(mHost.ParamDisplay(i), "0") << i;
        EXPECT_EQ(mHost.GetParameter(i), 0.0f) << i;
    }
}

TEST_F(HostedOrlantix, AutomationRoundsToTheStepOfEveryKindButReal)
{
    Start();
    struct Case
    {
        int mIdx;
        float mSet;
        const char* mText;
        double mRead; // normalised value read back
    };
    const Case cases[] = {
        {kVel, 0.5f, "64", 64.0 / 127},           // 63.5 rounds up
        {kVel, 0.49f, "62", 62.0 / 127},          // 62.23
        {kChan, 1.0f, "16", 1.0},                 //
        {kNumPulse, 0.74f, "3", 0.5},             // 2 + 1.48
        {kNumPulse, 0.76f, "4", 1.0},             // 2 + 1.52
        {kTimeUnits, 0.8125f, "1/4t", 13.0 / 16}, // exact
        {kTimeUnits, 0.84f, "1/4t", 13.0 / 16},   // 13.44
        {kTonic, 1.0f, "G10", 1.0},               //
        {kTonic, 0.0f, "C0", 0.0},                //
        {kTonic, 61.0f / 127, "C#5", 61.0 / 127}, //
        {kSeqEnab, 0.49f, "off", 0.0},            // booleans round at 0.5
        {kSeqEnab, 0.5f, "on", 1.0},              //
        {kStepDir, 1.0f, "Random", 1.0},          //
        {kMode, 0.5f, "Lydian", 0.5},             //
        {kIval1, 1.0f, "7", 1.0},                 //
        {kSwing, 0.333f, "0.33", 0.333},          // reals keep their value
        {kSwing, 0.006f, "0.01", 0.006},          // shown with two decimals, rounded
        {kSlow, 0.0f, "0.10", 0.0},               //
        {kSlow, 1.0f, "4.00", 1.0},               //
        {kHuman, 1.0f, "1.00", 1.0},              //
    };
    for (const Case& c : cases)
    {
        mHost.SetParameter(c.mIdx, c.mSet);
        EXPECT_EQ(mHost.ParamDisplay(c.mIdx), c.mText) << c.mIdx << " set " << c.mSet;
        EXPECT_NEAR(mHost.GetParameter(c.mIdx), c.mRead, 1e-6) << c.mIdx << " set " << c.mSet;
    }
}

TEST_F(HostedOrlantix, OutOfRangeHostValuesAreClamped)
{
    Start();
    mHost.SetParameter(kVel, 1.5f);
    EXPECT_EQ(mHost.ParamDisplay(kVel), "127");
    mHost.SetParameter(kVel, -0.5f);
    EXPECT_EQ(mHost.ParamDisplay(kVel), "0");
    mHost.SetParameter(kVel, std::nanf(""));
    EXPECT_EQ(mHost.ParamDisplay(kVel), "0");
    // Indices the instance does not have are ignored.
    mHost.SetParameter(kNumOrlantixParams, 1.0f);
    EXPECT_EQ(mHost.GetParameter(kNumOrlantixParams), 0.0f);
    EXPECT_EQ(mHost.GetParameter(-1), 0.0f);
}

TEST_F(HostedOrlantix, AutomatedParametersChangeWhatPlays)
{
    Start();
    mHost.SetParameter(kTonic, 62.0f / 127);          // "D5": every note two semitones up
    mHost.SetParameter(kLengthUnits, Norm(4, 0, 16)); // "1/16": half the length
    const auto stream = Play(4 * 11025, 512);
    ASSERT_EQ(stream.size(), 4u);
    EXPECT_EQ(stream[0].mData1, 74);
    EXPECT_EQ(stream[1].mTime, 11025 / 2);
    EXPECT_EQ(stream[2].mData1, 86);
    // Nothing is reported back to the host for its own changes.
    EXPECT_TRUE(mHost.Automation().empty());
}
