// The terminal summary: note names as the plug-in shows them, and the roll's columns.

#include "PianoRoll.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace orxrender;

namespace
{
RenderEvent On(int64_t t, int key, int velocity = 100, int channel = 0)
{
    return {t, t, static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(key),
            static_cast<uint8_t>(velocity)};
}

RenderEvent Off(int64_t t, int key, int channel = 0)
{
    return {t, t, static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(key), 0};
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
} // namespace

TEST(PianoRoll, NoteNamesFollowThePlugIn)
{
    EXPECT_EQ(NoteName(60), "C5");
    EXPECT_EQ(NoteName(0), "C0");
    EXPECT_EQ(NoteName(61), "C#5");
    EXPECT_EQ(NoteName(127), "G10");
    EXPECT_EQ(NoteName(128), "?");
}

TEST(PianoRoll, RowsPerKeyColumnsPerSixteenth)
{
    RollSettings s; // 120 BPM, 44100 Hz: a sixteenth is 5512.5 samples
    s.mFrames = 88200 * 4;
    s.mBars = 1;
    const std::vector<RenderEvent> events = {
        On(0, 60),         Off(11025, 60),                  // two sixteenths
        On(22050, 64, 80), Off(22100, 64),                  // a short one: one column
        On(44100, 60),     On(44100, 67, 0),                // velocity 0: not a note
        Off(49612, 60),    Off(49612, 67),   On(77175, 72), // held to the end of the render
    };
    const std::vector<std::string> lines = Lines(RenderSummary(events, s));
    ASSERT_EQ(lines.size(), 7u) << RenderSummary(events, s);
    EXPECT_EQ(lines[0], "4 bars of 4/4 at 120 BPM, 44100 Hz: 4 notes from C5 to C6, "
                        "velocities 80 to 100");
    EXPECT_EQ(lines[2], "      1               ");
    EXPECT_EQ(lines[3], "      |   :   :   :   ");
    EXPECT_EQ(lines[4], "C6    ..............#=");
    EXPECT_EQ(lines[5], "E5    ....#...........");
    EXPECT_EQ(lines[6], "C5    #=......#.......");
}

TEST(PianoRoll, ShortRendersAndSilence)
{
    RollSettings s;
    s.mFrames = 1000;
    EXPECT_EQ(RenderSummary({}, s), "0.01134 bars of 4/4 at 120 BPM, 44100 Hz: no notes\n");
    // Three-eight time: six sixteenths a bar, a beat mark every two.
    s.mNumerator = 3;
    s.mDenominator = 8;
    s.mFrames = 44100;
    const std::vector<std::string> lines = Lines(RenderSummary({On(0, 60), Off(100, 60)}, s));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[3], "      | : : | : : ");
}
