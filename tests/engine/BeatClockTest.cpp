#include "BeatClock.h"
#include "CheckCapture.h"

#include <gtest/gtest.h>

namespace
{
int IndexOf(const char* text)
{
    for (int i = 0; i < kNumBeatDivisions; ++i)
        if (std::string(beatDivisionParamsTable[i].mText) == text)
            return i;
    return -1;
}
} // namespace

TEST(BeatClock, EighthsAt120BpmAnd44100)
{
    MwcRandom r;
    BeatClock c(r);
    c.SetDivision(IndexOf("1/8"));
    EXPECT_DOUBLE_EQ(c.SamplesPerQuarter(), 22050.0);
    EXPECT_EQ(c.SamplesPerPulse(), 11025);
    EXPECT_EQ(c.Fraction(), 0.0);
}

TEST(BeatClock, SixteenthsAt140BpmNeverDrift)
{
    MwcRandom r;
    BeatClock c(r);
    c.SetSampleRate(48000.0);
    c.UpdateTransport(140.0, 4, 4);
    c.SetDivision(IndexOf("1/16"));
    c.Resync(0);
    const double pulse = 48000.0 * 60.0 / 140.0 * 0.25;
    long long pos = 0, last = -1;
    int n = 0;
    for (int block = 0; block < 20000; ++block)
    {
        c.BeginBlock(512);
        while (c.PulseDue())
        {
            const long long at = pos + c.NextPulse();
            if (last >= 0)
            {
                const long long d = at - last;
                ASSERT_TRUE(d == 5142 || d == 5143) << d;
            }
            // Every pulse lies within one sample of its exact time.
            ASSERT_NEAR(static_cast<double>(at), n * pulse, 1.0);
            last = at;
            ++n;
        }
        pos += 512;
    }
    EXPECT_GT(n, 1900);
}

TEST(BeatClock, DivisionTableValues)
{
    EXPECT_DOUBLE_EQ(BeatDivisionQuarterNotes(IndexOf("1/1")), 4.0);
    EXPECT_DOUBLE_EQ(BeatDivisionQuarterNotes(IndexOf("1/16d")), 0.375);
    EXPECT_NEAR(BeatDivisionQuarterNotes(IndexOf("1/4t")), 1.0 / 3.0, 1e-15);
    EXPECT_NEAR(BeatDivisionQuarterNotes(IndexOf("1/32t")), 1.0 / 24.0, 1e-15);
    CheckCapture checks;
    EXPECT_DOUBLE_EQ(BeatDivisionQuarterNotes(17), 0.5);
    EXPECT_TRUE(checks.Fired("src/BeatClock",
                             "idx >= 0 && idx < NUM_ENTRIES(beatDivisionParamsTable)"));
}
