#include "IParameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace
{

std::string Display(const IParameter& p, double x, bool normalised = false)
{
    char text[IParameter::kTextSize] = "untouched";
    p.DisplayText(x, normalised, text, sizeof(text));
    return text;
}

IParameter Real(double minValue, double maxValue, double step, double defaultValue = 0.0)
{
    IParameter p;
    p.InitDouble("Real", defaultValue, minValue, maxValue, step, "u");
    return p;
}

} // namespace

TEST(IParameter, FreshRecordHasTheDocumentedDefaults)
{
    const IParameter p;
    EXPECT_EQ(p.Type(), IParameter::kTypeNone);
    EXPECT_EQ(p.Value(), 0.0);
    EXPECT_EQ(p.Min(), 0.0);
    EXPECT_EQ(p.Max(), 1.0);
    EXPECT_EQ(p.Step(), 1.0);
    EXPECT_EQ(p.Shape(), 1.0);
    EXPECT_EQ(p.Precision(), 0);
    EXPECT_STREQ(p.Name(), "");
    EXPECT_STREQ(p.Label(), "");
    EXPECT_EQ(p.NDisplayTexts(), 0);
}

TEST(IParameter, PrecisionFollowsTheStep)
{
    EXPECT_EQ(Real(0, 1, 0.01).Precision(), 2);
    EXPECT_EQ(Real(0, 1, 0.25).Precision(), 2);
    EXPECT_EQ(Real(0, 10, 1.0).Precision(), 0);
    EXPECT_EQ(Real(0, 1, 0.5).Precision(), 1);
    EXPECT_EQ(Real(0, 1, 1.0 / 3.0).Precision(), 6); // never whole: stops at six
    EXPECT_EQ(Real(0, 1, 1e-9).Precision(), 6);
}

TEST(IParameter, MaximumIsAtLeastOneStepAboveTheMinimum)
{
    EXPECT_EQ(Real(0, 0.5, 1.0).Max(), 1.0);
    EXPECT_EQ(Real(2, 2, 0.5).Max(), 2.5);
    EXPECT_EQ(Real(0, 10, 1.0).Max(), 10.0);
}

TEST(IParameter, InitialisersSetKindOnlyOnce)
{
    IParameter e;
    e.InitEnum("Mode", 2, 4);
    EXPECT_EQ(e.Type(), IParameter::kTypeEnum);
    EXPECT_EQ(e.Max(), 3.0);
    EXPECT_EQ(e.Value(), 2.0);
    e.InitInt("Again", 1, 0, 9);
    EXPECT_EQ(e.Type(), IParameter::kTypeEnum);

    IParameter b;
    b.InitBool("Flag", true);
    EXPECT_EQ(b.Type(), IParameter::kTypeBool);
    EXPECT_EQ(b.Value(), 1.0);
    EXPECT_EQ(Display(b, 0.0), "off");
    EXPECT_EQ(Display(b, 1.0), "on");

    IParameter i;
    i.InitInt("Count", 3, -4, 4, "st");
    EXPECT_EQ(i.Type(), IParameter::kTypeInt);
    EXPECT_STREQ(i.Name(), "Count");
    EXPECT_STREQ(i.Label(), "st");
    EXPECT_EQ(i.Min(), -4.0);
}

TEST(IParameter, LongNamesAreCutToTheField)
{
    IParameter p;
    const std::string longName(100, 'n');
    p.InitDouble(longName.c_str(), 0, 0, 1, 0.1, longName.c_str());
    EXPECT_EQ(std::string(p.Name()), std::string(IParameter::kTextSize - 1, 'n'));
    EXPECT_EQ(std::string(p.Label()).size(), static_cast<std::size_t>(IParameter::kTextSize - 1));
}

TEST(IParameter, NormalisationRoundsAllButRealValuesToTheStep)
{
    IParameter i;
    i.InitInt("Int", 0, 0, 10);
    i.SetNormalised(1.0);
    EXPECT_EQ(i.Value(), 10.0);
    i.SetNormalised(0.34);
    EXPECT_EQ(i.Value(), 3.0);
    i.SetNormalised(0.35);
    EXPECT_EQ(i.Value(), 4.0);

    IParameter r = Real(0, 1, 0.25);
    r.SetNormalised(0.3);
    EXPECT_DOUBLE_EQ(r.Value(), 0.3);
}

TEST(IParameter, ShapeBendsTheCurveBothWays)
{
    IParameter p = Real(0, 1, 0.001);
    p.SetShape(2.0);
    p.SetNormalised(0.5);
    EXPECT_DOUBLE_EQ(p.Value(), 0.25);
    EXPECT_DOUBLE_EQ(p.Normalised(), 0.5);
    p.SetShape(0.0); // ignored
    p.SetShape(-1.0);
    EXPECT_EQ(p.Shape(), 2.0);
}

TEST(IParameter, HostValuesOutsideTheRangeAreClamped)
{
    IParameter p = Real(-10, 10, 0.1);
    p.SetShape(0.5);
    p.SetNormalised(-0.5);
    EXPECT_EQ(p.Value(), -10.0);
    p.SetNormalised(std::nan(""));
    EXPECT_EQ(p.Value(), -10.0);
    p.SetNormalised(7.0);
    EXPECT_EQ(p.Value(), 10.0);
    p.SetValue(50.0); // a plain value beyond the range reads back as the top
    EXPECT_EQ(p.Normalised(), 1.0);
    p.SetValue(-50.0);
    EXPECT_EQ(p.Normalised(), 0.0);
}

TEST(IParameter, NormalisedOfAnEmptyRangeIsZero)
{
    IParameter p = Real(1, 1, 0.0); // step 0 keeps maximum = minimum
    EXPECT_EQ(p.Max(), 1.0);
    EXPECT_EQ(p.Normalised(), 0.0);
}

TEST(IParameter, DisplayTextPrefersEnteredTexts)
{
    IParameter e;
    e.InitEnum("Dir", 0, 4);
    e.AddDisplayText(0, "Fwd");
    e.AddDisplayText(1, "");
    e.AddDisplayText(2, "FwdBack");
    EXPECT_EQ(Display(e, 0.0), "Fwd");
    EXPECT_EQ(Display(e, 2.9), "FwdBack"); // the key is the value truncated toward zero
    EXPECT_EQ(Display(e, 1.0), "1");       // an empty text falls through to the number
    EXPECT_EQ(Display(e, 3.0), "3");
    EXPECT_EQ(Display(e, 1.0, true), "3"); // normalised 1.0 is the top of the range
}

TEST(IParameter, DisplayTextNumbers)
{
    IParameter r = Real(-5, 5, 0.01);
    EXPECT_EQ(Display(r, 0.25), "0.25");
    EXPECT_EQ(Display(r, -0.0), "0");
    EXPECT_EQ(Display(r, 0.0), "0");
    EXPECT_EQ(Display(r, 1.005), "1.00"); // printf rounding of the binary value
    EXPECT_EQ(Display(r, 0.75, true), "2.50");

    IParameter i;
    i.InitInt("Int", 0, -10, 10);
    EXPECT_EQ(Display(i, 3.7), "3");
    EXPECT_EQ(Display(i, -2.7), "-2");
    EXPECT_EQ(Display(i, 1e30), "2147483647"); // saturates instead of overflowing

    IParameter n = Real(0, 60, 0.5);
    n.SetNegateDisplay(true);
    EXPECT_EQ(Display(n, 6.5), "-6.5");
    EXPECT_EQ(Display(n, 0.0), "0");
}

TEST(IParameter, DisplayTextNeverOverrunsTheBuffer)
{
    IParameter r = Real(0, 1e300, 1e-6);
    char text[8];
    r.DisplayText(1e300, false, text, sizeof(text));
    EXPECT_EQ(std::string(text).size(), 7u);
    r.DisplayText(1.0, false, nullptr, 8); // no buffer: nothing happens
}

TEST(IParameter, ValueForTextMatchesExactlyAndFirst)
{
    IParameter e;
    e.InitEnum("Mode", 0, 3);
    int key = -7;
    EXPECT_FALSE(e.ValueForText("Alpha", &key));
    e.AddDisplayText(0, "Alpha");
    e.AddDisplayText(1, "Beta");
    e.AddDisplayText(2, "Beta");
    EXPECT_TRUE(e.ValueForText("Beta", &key));
    EXPECT_EQ(key, 1);
    key = -7;
    EXPECT_FALSE(e.ValueForText("alpha", &key));
    EXPECT_FALSE(e.ValueForText("Alph", &key));
    EXPECT_FALSE(e.ValueForText(nullptr, &key));
    EXPECT_EQ(key, -7);
    EXPECT_STREQ(e.DisplayTextAt(1, &key), "Beta");
    EXPECT_EQ(e.DisplayTextAt(3, &key), nullptr);
}
