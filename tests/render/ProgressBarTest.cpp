// The progress bar: its text, and when it is drawn at all.

#include "ProgressBar.h"

#include <gtest/gtest.h>

using namespace orxrender;

TEST(ProgressBar, TextShowsTheShareDone)
{
    EXPECT_EQ(FormatProgress(0, 100, 10), "[..........]   0%");
    EXPECT_EQ(FormatProgress(42, 100, 10), "[####......]  42%");
    EXPECT_EQ(FormatProgress(999, 1000, 10), "[#########.]  99%"); // 100% only when finished
    EXPECT_EQ(FormatProgress(1000, 1000, 10), "[##########] 100%");
    EXPECT_EQ(FormatProgress(5000, 1000, 10), "[##########] 100%");
    EXPECT_EQ(FormatProgress(-5, 1000, 10), "[..........]   0%");
    EXPECT_EQ(FormatProgress(0, 0, 4), "[####] 100%");
}

TEST(ProgressBar, DrawnOnlyAfterASecondAndAtMostTenTimesASecond)
{
    ProgressBar bar(true);
    EXPECT_EQ(bar.Update(10, 100, 0.5), "");
    EXPECT_EQ(bar.Finish(), ""); // a render under a second leaves the terminal alone
    const std::string first = bar.Update(20, 100, 1.0);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.front(), '\r');
    EXPECT_NE(first.find(" 20%"), std::string::npos);
    EXPECT_EQ(bar.Update(21, 100, 1.05), "");
    EXPECT_NE(bar.Update(30, 100, 1.1), "");
    const std::string clear = bar.Finish();
    EXPECT_EQ(clear.front(), '\r');
    EXPECT_EQ(clear.back(), '\r');
    EXPECT_GE(clear.size(), first.size() + 1); // wide enough to blank the whole bar
    EXPECT_EQ(bar.Finish(), "");

    ProgressBar off(false); // standard error is no terminal
    EXPECT_EQ(off.Update(50, 100, 5.0), "");
    EXPECT_EQ(off.Finish(), "");
}
