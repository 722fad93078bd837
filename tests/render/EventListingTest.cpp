// The listing's lines are the printf form "%lld %02x %d %d", formatted without printf.

#include "EventListing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

using namespace orxrender;

TEST(EventListing, LinesMatchThePrintfForm)
{
    const RenderEvent events[] = {
        {0, 0, 0x90, 60, 100}, {44099, 1, 0x80, 127, 0},
        {-3, 0, 0x0f, 0, 255}, {std::numeric_limits<int64_t>::max(), 0, 0xff, 255, 255},
        {5, 99, 0xe3, 1, 64},
    };
    for (const RenderEvent& e : events)
    {
        char expected[96];
        std::snprintf(expected, sizeof(expected), "%lld %02x %d %d\n",
                      static_cast<long long>(e.mSample), e.mStatus, e.mData1, e.mData2);
        EXPECT_EQ(FormatEventLine(e), expected);
    }
}

TEST(EventListing, TheListingShowsTheHostPositionNotTheTimeline)
{
    // After a loop the two differ; the listing is what the plug-in was told.
    EXPECT_EQ(FormatEventLine({1000, 90000, 0x90, 64, 80}), "1000 90 64 80\n");
}
