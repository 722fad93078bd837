#include "MwcRandom.h"

#include <gtest/gtest.h>

TEST(MwcRandom, FirstValueFromTheDefaultSeed)
{
    MwcRandom r;
    EXPECT_EQ(r.W(), 4660u);
    EXPECT_EQ(r.Z(), 4294962635u);
    EXPECT_EQ(r.Next(), 3175213120u);
    EXPECT_EQ(r.Z(), 2250553410u);
    EXPECT_EQ(r.W(), 83880000u);
}

TEST(MwcRandom, SameSeedSameSequenceOtherSeedOtherSequence)
{
    MwcRandom a, b, c(99, ~99u);
    bool differs = false;
    for (int i = 0; i < 1000; ++i)
    {
        const uint32_t va = a.Next();
        EXPECT_EQ(va, b.Next());
        differs |= va != c.Next();
    }
    EXPECT_TRUE(differs);
}

TEST(MwcRandom, DrawsStayInTheirRanges)
{
    MwcRandom r;
    int below = 0;
    for (int i = 0; i < 20000; ++i)
    {
        const double u = r.NextUnit();
        ASSERT_GE(u, 0.0);
        ASSERT_LE(u, 1.0);
        const double s = r.NextShaped();
        ASSERT_GE(s, 0.0);
        ASSERT_LE(s, 2.0);
        below += s < 0.5;
        const int m = r.NextDegreeMask();
        ASSERT_TRUE(m == 1 || m == 2 || m == 4 || m == 8 || m == 16) << m;
        const int p = r.NextPosition(3, 5);
        ASSERT_GE(p, 3);
        ASSERT_LE(p, 7);
    }
    // Every non-positive signed draw lands in [0, 0.5] and an eighth of the positive ones too:
    // five draws in eight fall below 0.5.
    EXPECT_NEAR(below / 20000.0, 0.625, 0.02);
}

TEST(MwcRandom, UnitDrawEndsAreExact)
{
    EXPECT_EQ(4294967295u * 2.3283064370807974e-10, 1.0);
    EXPECT_EQ(0u * 2.3283064370807974e-10, 0.0);
}
