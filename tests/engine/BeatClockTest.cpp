#include "BeatClock.h"
#include "CheckCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

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
    EXPECT_TRUE(
        checks.Fired("src/BeatClock", "idx >= 0 && idx < NUM_ENTRIES(beatDivisionParamsTable)"));
}

namespace
{
// Absolute times of the pulses of `blocks` blocks of `block` samples from position `start`.
std::vector<long long> Pulses(BeatClock& c, long long start, int block, int blocks)
{
    std::vector<long long> out;
    long long pos = start;
    for (int b = 0; b < blocks; ++b)
    {
        c.BeginBlock(block);
        while (c.PulseDue())
        {
            const int offset = c.NextPulse();
            EXPECT_GE(offset, 0);
            EXPECT_LE(offset, block); // a pulse on the block's end is taken in the block
            out.push_back(pos + offset);
        }
        pos += block;
    }
    return out;
}
} // namespace

TEST(BeatClock, FullSwingAlternatesOneAndAHalfAndAHalfPulse)
{
    MwcRandom r;
    BeatClock c(r);
    c.SetSampleRate(16000.0);
    c.UpdateTransport(960.0, 4, 4);
    c.SetDivision(IndexOf("1/4"));
    ASSERT_EQ(c.SamplesPerPulse(), 1000);
    c.SetSwing(1.0);
    EXPECT_EQ(c.LongInterval(), 1500);
    EXPECT_EQ(c.ShortInterval(), 500);
    c.Resync(0);
    EXPECT_EQ(Pulses(c, 0, 1000, 5), (std::vector<long long>{0, 1500, 2000, 3500, 4000}));
}

TEST(BeatClock, APulseDueAtTheBlockEndIsTakenInThatBlock)
{
    MwcRandom r;
    BeatClock c(r);
    c.SetDivision(IndexOf("1/8"));
    c.Resync(0);
    c.BeginBlock(11025);
    ASSERT_TRUE(c.PulseDue());
    EXPECT_EQ(c.NextPulse(), 0);
    ASSERT_TRUE(c.PulseDue()); // the next pulse lies exactly at 11025
    EXPECT_EQ(c.NextPulse(), 11025);
    EXPECT_FALSE(c.PulseDue());
    // ... and not again at the start of the next block.
    c.BeginBlock(11024);
    EXPECT_FALSE(c.PulseDue());
    c.BeginBlock(1);
    ASSERT_TRUE(c.PulseDue());
    EXPECT_EQ(c.NextPulse(), 1);
}

TEST(BeatClock, ResyncAnswersThePulseHoldingThePositionAndWaitsForTheNext)
{
    MwcRandom r;
    BeatClock c(r);
    c.SetDivision(IndexOf("1/8"));
    EXPECT_EQ(c.Resync(3 * 11025), 3);
    EXPECT_EQ(c.Gap(), 0);
    EXPECT_EQ(c.Resync(3 * 11025 + 25), 3);
    EXPECT_EQ(c.Gap(), 11000);
    EXPECT_EQ(c.Resync(4 * 11025 - 1), 3);
    EXPECT_EQ(c.Gap(), 1);
    EXPECT_EQ(c.Resync(-5), 0);
    EXPECT_EQ(c.Gap(), 0);
}

TEST(BeatClock, ResyncAnywhereMatchesAnUninterruptedRun)
{
    // Fractional pulses with swing: the grid after a jump is the grid of playing through.
    for (double swing : {0.0, 0.37, 1.0})
    {
        MwcRandom r;
        BeatClock through(r);
        through.SetSampleRate(48000.0);
        through.UpdateTransport(133.0, 7, 8);
        through.SetDivision(IndexOf("1/16t"));
        through.SetSwing(swing);
        through.Resync(0);
        const std::vector<long long> all = Pulses(through, 0, 997, 3000);
        for (size_t k = 0; k < all.size(); ++k)
            ASSERT_EQ(all[k], through.PulseTime(static_cast<long long>(k))) << k;

        MwcRandom seeds(5, ~5u);
        for (int trial = 0; trial < 40; ++trial)
        {
            const long long pos = seeds.Next() % (all.back() - 5000);
            MwcRandom r2;
            BeatClock jumped(r2);
            jumped.SetSampleRate(48000.0);
            jumped.UpdateTransport(133.0, 7, 8);
            jumped.SetDivision(IndexOf("1/16t"));
            jumped.SetSwing(swing);
            const int n = jumped.Resync(static_cast<int>(pos));
            ASSERT_LE(jumped.PulseTime(n), pos);
            ASSERT_GT(jumped.PulseTime(n + 1), pos);
            const std::vector<long long> got = Pulses(jumped, pos, 64, 60);
            std::vector<long long> want;
            for (long long at : all)
                if (at >= pos && at < pos + 64 * 60)
                    want.push_back(at);
            ASSERT_EQ(got, want) << "swing " << swing << " position " << pos;
        }
    }
}

TEST(BeatClock, HumanisingJittersAroundTheGridWithoutDrifting)
{
    MwcRandom r;
    BeatClock c(r);
    c.SetSampleRate(48000.0);
    c.UpdateTransport(140.0, 4, 4);
    c.SetDivision(IndexOf("1/16"));
    c.SetHumanise(1.0);
    c.Resync(0);
    const std::vector<long long> pulses = Pulses(c, 0, 512, 100000);
    ASSERT_GT(pulses.size(), 9000u);
    double sum = 0.0;
    bool moved = false;
    for (size_t k = 0; k < pulses.size(); ++k)
    {
        const long long dev = pulses[k] - c.PulseTime(static_cast<long long>(k));
        // Each displacement is at most half of the interval it ends, and that interval takes
        // the previous displacement back: never a whole pulse away from the grid.
        ASSERT_LT(dev < 0 ? -dev : dev, 5143) << k;
        sum += static_cast<double>(dev);
        moved |= dev != 0;
    }
    EXPECT_TRUE(moved);
    EXPECT_LT(std::abs(sum / static_cast<double>(pulses.size())), 60.0);
    c.SetHumanise(7.0);
    EXPECT_EQ(c.Humanise(), 1.0);
}

TEST(BeatClock, AbsurdHostTempiStayWithinTheSampleRange)
{
    MwcRandom r;
    BeatClock c(r);
    c.UpdateTransport(1e-9, 4, 4);
    EXPECT_EQ(c.SamplesPerPulse(), 1 << 28);
    EXPECT_EQ(c.SetNoteLength(IndexOf("1/1")), 1 << 28);
    // Full swing and humanising on the longest pulse still fit the sample counts.
    c.SetSwing(3.0);
    EXPECT_EQ(c.SwingFactor(), 1.5);
    c.SetHumanise(1.0);
    c.Resync(0);
    EXPECT_GE(Pulses(c, 0, 1 << 30, 8).size(), 16u);
    c.UpdateTransport(1e12, 4, 4);
    EXPECT_EQ(c.SamplesPerPulse(), 1);
    EXPECT_EQ(c.SetNoteLength(IndexOf("1/32t")), 1); // never 0: every note ends
    c.Resync(1000);
    EXPECT_EQ(Pulses(c, 1000, 16, 1).size(), 17u); // 1000 to 1016, both ends included
    // Tempo 0 and a time signature of 0/0 mean 120 in 4/4, recomputed only on a change.
    EXPECT_TRUE(c.UpdateTransport(0.0, 0, 0));
    EXPECT_EQ(c.Tempo(), 120.0);
    EXPECT_EQ(c.Numerator(), 4);
    EXPECT_FALSE(c.UpdateTransport(-1.0, 3, 0));
}

TEST(BeatClock, NoteLengthUsesTheTempoOfTheMomentItIsSet)
{
    MwcRandom r;
    BeatClock c(r);
    EXPECT_EQ(c.SetNoteLength(IndexOf("1/8")), 11025);
    c.UpdateTransport(60.0, 4, 4);
    EXPECT_EQ(c.NoteLength(), 11025);
    EXPECT_EQ(c.SetNoteLength(IndexOf("1/4t")), 14700);
}
