// Command-line numbers must read as the same doubles on every platform, whatever the locale.

#include "NumberParse.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>

using namespace orxrender;

TEST(NumberParse, DecimalsAreTheCorrectlyRoundedDoubles)
{
    // The compiler's own reading of the literal is the correctly rounded double.
    EXPECT_EQ(ParseDecimal("0.37"), 0.37);
    EXPECT_EQ(ParseDecimal("120"), 120.0);
    EXPECT_EQ(ParseDecimal("133.333"), 133.333);
    EXPECT_EQ(ParseDecimal("0.1"), 0.1);
    EXPECT_EQ(ParseDecimal("-2.5"), -2.5);
    EXPECT_EQ(ParseDecimal("+7."), 7.0);
    EXPECT_EQ(ParseDecimal(".25"), 0.25);
    EXPECT_EQ(ParseDecimal("0.000000000000000000001"), 1e-21);
    EXPECT_EQ(ParseDecimal("999999999999999"), 999999999999999.0);
    // Leading zeros do not count against the precision limit.
    EXPECT_EQ(ParseDecimal("0000000000000000000042.5"), 42.5);
}

TEST(NumberParse, DecimalsRejectEverythingElse)
{
    for (const char* text : {"", ".", "-", "+", "1e3", "1.2.3", " 1", "1 ", "0x10", "1,5", "nan",
                             "inf", "--1", "1234567890123456", "0.00000000000000000000001"})
        EXPECT_FALSE(ParseDecimal(text).has_value()) << text;
}

TEST(NumberParse, IntegersCoverTheirWholeRangeAndNoMore)
{
    EXPECT_EQ(ParseInteger("0"), 0);
    EXPECT_EQ(ParseInteger("-17"), -17);
    EXPECT_EQ(ParseInteger("+17"), 17);
    EXPECT_EQ(ParseInteger("9223372036854775807"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ParseInteger("-9223372036854775808"), std::numeric_limits<int64_t>::min());
    EXPECT_FALSE(ParseInteger("9223372036854775808").has_value());
    EXPECT_FALSE(ParseInteger("-9223372036854775809").has_value());
    for (const char* text : {"", "-", "+-1", "1.0", "12a", " 3", "-+3"})
        EXPECT_FALSE(ParseInteger(text).has_value()) << text;

    EXPECT_EQ(ParseUnsigned("18446744073709551615"), std::numeric_limits<uint64_t>::max());
    EXPECT_FALSE(ParseUnsigned("18446744073709551616").has_value());
    EXPECT_FALSE(ParseUnsigned("-1").has_value());
}

TEST(NumberParse, FormattedIntegersMatchPrintf)
{
    for (int64_t v : {int64_t{0}, int64_t{7}, int64_t{-7}, int64_t{1234567890123},
                      std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min()})
    {
        char ours[32];
        char theirs[32];
        const int n = FormatInteger(v, ours);
        std::snprintf(theirs, sizeof(theirs), "%lld", static_cast<long long>(v));
        EXPECT_STREQ(ours, theirs);
        EXPECT_EQ(n, static_cast<int>(std::char_traits<char>::length(theirs)));
        EXPECT_EQ(ParseInteger(ours), v);
    }
}
