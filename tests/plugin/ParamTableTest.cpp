// The parameter list as presets, the state chunk and the editor rely on it: which index holds
// which name, kind, range, default and display texts.

#include "CheckCapture.h"
#include "PluginTestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{

std::string Text(const IParameter& p, double value)
{
    char text[IParameter::kTextSize];
    p.DisplayText(value, false, text, sizeof(text));
    return text;
}

bool IsBlank(int idx)
{
    static const std::set<int> blanks = {60, 61, 110, 159, 161, 170, 179, 195, 204, 239, 244, 249};
    return (idx >= 30 && idx < 60) || blanks.count(idx) > 0;
}

} // namespace

TEST(ParamTable, BuildsWithoutAFailedCheck)
{
    CheckCapture checks;
    auto plug = MakePlug();
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
    EXPECT_EQ(plug->NParams(), 250);
    EXPECT_EQ(plug->DeclaredParamCount(), 60);
}

TEST(ParamTable, KindsAndDescriptorsByIndex)
{
    auto plug = MakePlug();
    int kinds[5] = {};
    int described = 0;
    for (int i = 0; i < plug->NParams(); ++i)
    {
        const IParameter& p = *plug->GetParam(i);
        ++kinds[p.Type()];
        const ParamChangeDesc* desc = plug->ParamDesc(i);
        const bool groove = (i >= kGrooveLock0 && i < kGrooveLock0 + 48) ||
                            (i >= kGrooveMute0 && i < kGrooveMute0 + 48);
        if (IsBlank(i))
        {
            EXPECT_EQ(p.Type(), IParameter::kTypeNone) << i;
            EXPECT_STREQ(p.Name(), "") << i;
            EXPECT_EQ(p.Max(), 1.0) << i;
            EXPECT_EQ(desc, nullptr) << i;
        }
        else if (groove)
            EXPECT_EQ(desc, nullptr) << i;
        else
        {
            ASSERT_NE(desc, nullptr) << i;
            EXPECT_EQ(desc->mParamIdx, i);
            EXPECT_STREQ(desc->mName, p.Name()) << i;
            ++described;
        }
    }
    EXPECT_EQ(described, 12 + 11 + 53 + 8 + 28);
    EXPECT_EQ(kinds[IParameter::kTypeNone], 42);
    EXPECT_EQ(kinds[IParameter::kTypeBool], 11);
    EXPECT_EQ(kinds[IParameter::kTypeInt], 12 + 96);
    EXPECT_EQ(kinds[IParameter::kTypeEnum], 53);
    EXPECT_EQ(kinds[IParameter::kTypeDouble], 8 + 28);
}

TEST(ParamTable, GrooveLockAndMuteFamilies)
{
    auto plug = MakePlug();
    for (int n = 0; n < 48; ++n)
    {
        const IParameter& lock = *plug->GetParam(62 + n);
        const IParameter& mute = *plug->GetParam(111 + n);
        EXPECT_EQ(std::string(lock.Name()), "gmLock" + std::to_string(n));
        EXPECT_EQ(std::string(mute.Name()), "gmMute" + std::to_string(n));
        for (const IParameter* p : {&lock, &mute})
        {
            EXPECT_EQ(p->Type(), IParameter::kTypeInt);
            EXPECT_EQ(p->Min(), 0.0);
            EXPECT_EQ(p->Max(), 1.0);
            EXPECT_EQ(p->Value(), 0.0);
        }
    }
}

TEST(ParamTable, RangesAndDefaultsOfEachKind)
{
    auto plug = MakePlug();
    struct Row
    {
        int mIdx;
        const char* mName;
        IParameter::EParamType mType;
        double mMin, mMax, mDefault;
        const char* mDefaultText;
    };
    using P = IParameter;
    // Host-visible rows are checked through the host; these are the internal ones.
    const Row rows[] = {
        {2, "Slow", P::kTypeDouble, 0.1, 4.0, 1.0, "1.00"},
        {11, "NumPulse", P::kTypeInt, 2, 4, 4, "4"},
        {160, "", P::kTypeDouble, 0, 1, 0, "0"},
        {162, "stkMod1", P::kTypeEnum, 0, 12, 11, " -- "},
        {178, "stkModT8", P::kTypeEnum, 0, 1, 0, "Temp"},
        {180, "StkRun", P::kTypeBool, 0, 1, 1, "on"},
        {182, "StkRst", P::kTypeDouble, 0, 1, 0, "0"},
        {183, "StkCount", P::kTypeInt, 1, 64, 1, "1"},
        {184, "StkProb", P::kTypeDouble, 0, 1, 1, "1.00"},
        {187, "melMod1", P::kTypeEnum, 0, 18, 16, " -- "},
        {196, "MekModT1", P::kTypeEnum, 0, 1, 0, "Temp"},
        {211, "MelLen", P::kTypeInt, 1, 8, 8, "8"},
        {220, "M D", P::kTypeDouble, 0, 1, 0, "0"},
        {229, "R D", P::kTypeDouble, 0, 1, 0, "0"},
        {233, "Interval", P::kTypeEnum, 0, 9, 0, "Fifths"},
        {234, "Scale", P::kTypeEnum, 0, 7, 0, "Major"},
        {238, "RowSel4", P::kTypeDouble, 0, 1, 0, "0"},
        {248, "RowMute4", P::kTypeBool, 0, 1, 0, "off"},
    };
    for (const Row& r : rows)
    {
        const IParameter& p = *plug->GetParam(r.mIdx);
        EXPECT_STREQ(p.Name(), r.mName) << r.mIdx;
        EXPECT_STREQ(p.Label(), "") << r.mIdx;
        EXPECT_EQ(p.Type(), r.mType) << r.mIdx;
        EXPECT_DOUBLE_EQ(p.Min(), r.mMin) << r.mIdx;
        EXPECT_DOUBLE_EQ(p.Max(), r.mMax) << r.mIdx;
        EXPECT_DOUBLE_EQ(p.Value(), r.mDefault) << r.mIdx;
        EXPECT_EQ(Text(p, p.Value()), r.mDefaultText) << r.mIdx;
    }
    // Reals show two decimals, triggers none.
    EXPECT_EQ(plug->GetParam(kSwing)->Precision(), 2);
    EXPECT_EQ(plug->GetParam(kStkRst)->Precision(), 0);
}

TEST(ParamTable, DisplayTexts)
{
    auto plug = MakePlug();
    const IParameter& tonic = *plug->GetParam(kTonic);
    EXPECT_EQ(tonic.NDisplayTexts(), 128);
    const char* const classes[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                     "F#", "G",  "G#", "A",  "A#", "B"};
    for (int note = 0; note < 128; ++note)
        EXPECT_EQ(Text(tonic, note), classes[note % 12] + std::to_string(note / 12)) << note;
    EXPECT_EQ(Text(tonic, 127), "G10");

    const IParameter& time = *plug->GetParam(kTimeUnits);
    EXPECT_EQ(Text(time, 10), "1/32d");
    EXPECT_EQ(Text(time, 13), "1/4t");
    EXPECT_EQ(Text(*plug->GetParam(kStkMod1 + 7), 10), "Mute");
    EXPECT_EQ(Text(*plug->GetParam(kMelMod1 + 3), 18), "Orig");
    EXPECT_EQ(Text(*plug->GetParam(kMekModT1 + 2), 1), "Perm");
    EXPECT_EQ(Text(*plug->GetParam(kMelDir), 3), "BackFwd");
    EXPECT_EQ(Text(*plug->GetParam(kInterval), 9), "1 3 4 5 6");
    EXPECT_EQ(Text(*plug->GetParam(kScale), 7), "Nat Minor");
}

TEST(ParamTable, DefaultsMatchTheEngineTheyDescribe)
{
    // The engine starts in the parameters' default state, so the open pass changes nothing
    // that plays.
    auto plug = MakePlug();
    const PatternEngine& e = plug->Engine();
    const int noteLength = e.mNoteLength;
    const int pulse = e.mBeatClock.SamplesPerPulse();
    AllParameterPass(*plug);
    EXPECT_EQ(e.mNoteLength, noteLength);
    EXPECT_EQ(e.mBeatClock.SamplesPerPulse(), pulse);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(e.mChordDegrees[i], static_cast<int>(plug->GetParam(kIval1 + i)->Value()));
    EXPECT_EQ(e.mTonic, 60);
    EXPECT_EQ(e.mVelocity, 100);
    EXPECT_EQ(e.mGroove.NumStepsActive(), 48);
    EXPECT_EQ(e.mProgression.StepCount(), 12);
    EXPECT_EQ(e.mProgression.BeginStep(), 0);
}
