// Finding a parameter's value by the text the plug-in shows, through host calls only. The
// stand-in plug-in keeps its parameters in the framework's own records, so texts, rounding and
// curves are those a hosted plug-in of ours has.

#include "ParamLookup.h"
#include "IParameter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orxrender;

namespace
{

class StandIn final : public ParamAccess
{
public:
    StandIn()
    {
        mParams.resize(6);
        mParams[0].InitEnum("StepDir", 0, 5);
        const char* const dirs[] = {"Fwd", "Back", "FwdBack", "BackFwd", "Random"};
        for (int i = 0; i < 5; ++i)
            mParams[0].AddDisplayText(i, dirs[i]);
        mParams[1].InitEnum("Tonic", 60, 128);
        const char* const names[] = {"C",  "C#", "D",  "D#", "E",  "F",
                                     "F#", "G",  "G#", "A",  "A#", "B"};
        for (int i = 0; i < 128; ++i)
            mParams[1].AddDisplayText(i, (names[i % 12] + std::to_string(i / 12)).c_str());
        mParams[2].InitDouble("Swing", 0.0, 0.0, 1.0, 0.01);
        mParams[3].InitBool("SeqEnab", true);
        mParams[4].InitDouble("Curve", 0.25, 0.0, 1.0, 0.001);
        mParams[4].SetShape(2.0);
        mParams[5].InitInt("Vel", 100, 0, 127);
    }

    int Count() override { return static_cast<int>(mParams.size()); }
    std::string Name(int index) override { return mParams[static_cast<size_t>(index)].Name(); }
    void Set(int index, float normalised) override
    {
        ++mSets;
        mParams[static_cast<size_t>(index)].SetNormalised(normalised);
    }
    std::string Display(int index) override
    {
        const IParameter& p = mParams[static_cast<size_t>(index)];
        char text[IParameter::kTextSize];
        p.DisplayText(p.Value(), false, text, sizeof(text));
        return text;
    }

    // What the plug-in holds after the host sets the value the lookup found.
    double ValueAfter(const std::string& name, const std::string& text)
    {
        const ParamValue v = FindParamValue(*this, name, text);
        EXPECT_EQ(v.mError, "") << name << "=" << text;
        if (v.mIndex < 0)
            return -1.0;
        Set(v.mIndex, v.mNormalised);
        EXPECT_EQ(Display(v.mIndex), text);
        return mParams[static_cast<size_t>(v.mIndex)].Value();
    }

    std::vector<IParameter> mParams;
    int mSets = 0;
};

} // namespace

TEST(ParamLookup, TextsFindTheValuesThatShowThem)
{
    StandIn plug;
    EXPECT_EQ(plug.ValueAfter("StepDir", "FwdBack"), 2.0);
    EXPECT_EQ(plug.ValueAfter("StepDir", "Random"), 4.0);
    EXPECT_EQ(plug.ValueAfter("SeqEnab", "off"), 0.0);
    EXPECT_EQ(plug.ValueAfter("SeqEnab", "on"), 1.0);
    EXPECT_EQ(plug.ValueAfter("Vel", "0"), 0.0);
    EXPECT_EQ(plug.ValueAfter("Vel", "127"), 127.0);
}

TEST(ParamLookup, EveryNoteNameOfAWideEnumerationIsFound)
{
    // Integer values are rounded by the plug-in when set, but shown truncated: the value found
    // must be the one that shows the text once set, for each of the 128 names.
    StandIn plug;
    const char* const names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    for (int note = 0; note < 128; ++note)
        EXPECT_EQ(plug.ValueAfter("Tonic", names[note % 12] + std::to_string(note / 12)), note);
}

TEST(ParamLookup, RealValuesLandInTheMiddleOfWhatShowsTheText)
{
    StandIn plug;
    EXPECT_NEAR(plug.ValueAfter("Swing", "0.50"), 0.50, 1e-6);
    EXPECT_NEAR(plug.ValueAfter("Swing", "0.37"), 0.37, 1e-6);
    EXPECT_NEAR(plug.ValueAfter("Swing", "1.00"), 1.0, 0.0051);
    EXPECT_EQ(plug.ValueAfter("Swing", "0"), 0.0);
    // On a curved parameter the middle is taken along the host's 0..1, which is not the middle
    // of the values; what counts is that the value shows the text (checked in ValueAfter).
    EXPECT_NEAR(plug.ValueAfter("Curve", "0.250"), 0.250, 0.0005);
    EXPECT_NEAR(plug.ValueAfter("Curve", "0.004"), 0.004, 0.0005);
}

TEST(ParamLookup, TheTextMapListsEveryTextInValueOrder)
{
    StandIn plug;
    const std::vector<TextSpan> spans = MapDisplayTexts(plug, 0);
    ASSERT_EQ(spans.size(), 5u);
    EXPECT_EQ(spans[0].mText, "Fwd");
    EXPECT_EQ(spans[4].mText, "Random");
    EXPECT_EQ(spans[0].mLow, 0.0f);
    EXPECT_EQ(spans[4].mHigh, 1.0f);
    for (std::size_t i = 1; i < spans.size(); ++i)
        EXPECT_GT(spans[i].mLow, spans[i - 1].mHigh);
    // "0" for exactly zero, "0.00" just above it, then 0.01 to 1.00.
    EXPECT_EQ(MapDisplayTexts(plug, 2).size(), 102u);
    // Each boundary costs a few dozen host calls, not a scan of the whole range.
    EXPECT_LT(plug.mSets, 102 * 40 + 200);
}

TEST(ParamLookup, NormalisedValuesAreTakenAsGiven)
{
    StandIn plug;
    const ParamValue v = FindParamValue(plug, "Swing", "@0.25");
    EXPECT_EQ(v.mError, "");
    EXPECT_EQ(v.mIndex, 2);
    EXPECT_EQ(v.mNormalised, 0.25f);
    for (const char* bad : {"@", "@1.5", "@-0.1", "@x", "@1e-3"})
        EXPECT_NE(FindParamValue(plug, "Swing", bad).mError, "") << bad;
}

TEST(ParamLookup, ErrorsNameTheValidChoices)
{
    StandIn plug;
    const ParamValue unknown = FindParamValue(plug, "Tempo", "120");
    EXPECT_EQ(unknown.mIndex, -1);
    EXPECT_NE(unknown.mError.find("\"Tempo\""), std::string::npos) << unknown.mError;
    EXPECT_NE(unknown.mError.find("StepDir, Tonic, Swing, SeqEnab, Curve, Vel"), std::string::npos)
        << unknown.mError;

    // Names match exactly, texts too: "fwd" and "0.5" are not what the plug-in shows.
    EXPECT_EQ(FindParamValue(plug, "stepdir", "Fwd").mIndex, -1);
    const std::string dir = FindParamValue(plug, "StepDir", "fwd").mError;
    EXPECT_NE(dir.find("Fwd, Back, FwdBack, BackFwd, Random"), std::string::npos) << dir;
    // 128 names are listed in full; a longer list shows both ends and the count.
    const std::string tonic = FindParamValue(plug, "Tonic", "H5").mError;
    EXPECT_NE(tonic.find("C0, C#0"), std::string::npos);
    EXPECT_NE(tonic.find("F#10, G10"), std::string::npos);
    const std::string curve = FindParamValue(plug, "Curve", "0.5").mError;
    EXPECT_NE(curve.find("0, 0.000, 0.001,"), std::string::npos) << curve;
    EXPECT_NE(curve.find(", ..., "), std::string::npos) << curve;
    EXPECT_NE(curve.find("1.000 (1002 values)"), std::string::npos) << curve;
    for (const std::string& e : {unknown.mError, dir, tonic, curve})
        EXPECT_EQ(e.find('\n'), std::string::npos);
}
