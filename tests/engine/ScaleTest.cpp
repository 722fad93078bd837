#include "Scale.h"

#include "CheckCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<int> Notes(const Scale& s, int mode, int tonic, int chordDegree)
{
    std::vector<int> out;
    for (int d = 0; d < 5; ++d)
        out.push_back(s.Pitch(mode, tonic, chordDegree, d));
    return out;
}

int IndexOf(const char* const* names, int count, const std::string& name)
{
    for (int i = 0; i < count; ++i)
        if (name == names[i])
            return i;
    return -1;
}
} // namespace

TEST(Scale, WorkedExamples)
{
    Scale s;
    s.SetScale(IndexOf(kScaleNames, kNumScales, "Major"));
    s.SetIntervalSet(IndexOf(kIntervalSetNames, kNumIntervalSets, "Triad"));
    EXPECT_EQ(Notes(s, 0, 60, 0), (std::vector<int>{60, 64, 67, 72, 79}));
    // The chord on the fifth step ("5").
    EXPECT_EQ(Notes(s, 0, 60, 4), (std::vector<int>{67, 71, 74, 79, 86}));

    s.SetScale(IndexOf(kScaleNames, kNumScales, "Blues"));
    s.SetIntervalSet(IndexOf(kIntervalSetNames, kNumIntervalSets, "Fifths"));
    EXPECT_EQ(Notes(s, 1, 48, 0), (std::vector<int>{51, 60, 67, 77, 84}));
}

TEST(Scale, DefaultsAreFifthsInMajor)
{
    Scale s;
    // Fifths: scale degrees 1 5 8 12 15 of C major from C5.
    EXPECT_EQ(Notes(s, 0, 60, 0), (std::vector<int>{60, 67, 72, 79, 84}));
    // Dorian shifts the start within the scale by one step.
    EXPECT_EQ(Notes(s, 1, 60, 0), (std::vector<int>{62, 69, 74, 81, 86}));
}

TEST(Scale, ModesRotateWithinShortScales)
{
    Scale s;
    s.SetScale(IndexOf(kScaleNames, kNumScales, "Maj Pent"));
    s.SetIntervalSet(IndexOf(kIntervalSetNames, kNumIntervalSets, "Whole (n)"));
    // Five steps: mode 5 equals mode 0 an octave up.
    const std::vector<int> m0 = Notes(s, 0, 40, 0);
    std::vector<int> m5 = Notes(s, 5, 28, 0);
    EXPECT_EQ(m0, m5);
    EXPECT_EQ(m0, (std::vector<int>{40, 42, 44, 47, 49}));
}

TEST(Scale, ResultsCanLieAboveMidiRange)
{
    Scale s;
    // Fifths from G10 on the seventh chord step in Locrian: far above 127; the engine drops it.
    EXPECT_GT(s.Pitch(6, 127, 6, 4), 127);
}

TEST(Scale, InvalidArgumentsReportAndStayInsideTheTables)
{
    Scale s;
    CheckCapture checks;
    const int n = s.Pitch(7, 60, 0, 0);
    EXPECT_TRUE(checks.Fired("src/Scale", "0 <= mode && mode < 7"));
    EXPECT_EQ(n, s.Pitch(6, 60, 0, 0));
    s.Pitch(0, 129, 0, 0);
    EXPECT_TRUE(checks.Fired("src/Scale", "0 <= rootNote && rootNote <= 128"));
    s.Pitch(0, 60, 0, 5);
    EXPECT_TRUE(checks.Fired("src/Scale", "0 <= pitchDegree && pitchDegree < 5"));
    checks.Clear();
    s.SetScale(99);
    s.SetIntervalSet(-3);
    EXPECT_GE(s.Pitch(0, 60, 0, 4), 60);
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
    // The tonic may be 128 without a report.
    s.Pitch(0, 128, 0, 0);
    EXPECT_TRUE(checks.Empty()) << checks.Describe();
}
