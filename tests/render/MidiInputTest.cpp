// MIDI into the renderer: the listing --events writes read back, and a MIDI file (the one the
// renderer writes, and a two-track file with a tempo change) turned into samples.

#include "MidiInput.h"
#include "EventListing.h"
#include "MidiFileWriter.h"

#include <gtest/gtest.h>

using namespace orxrender;

namespace
{
std::string Listing(const std::vector<InputEvent>& events)
{
    std::string out;
    for (const InputEvent& e : events)
        out += FormatEventLine({e.mSample, e.mSample, e.mStatus, e.mData1, e.mData2});
    return out;
}
} // namespace

TEST(MidiInput, AListingReadsBackAsWrittenInTimeOrder)
{
    const std::string text = "# a comment line\n"
                             "22050 90 48 100\n"
                             "0 b0 74 127   # a controller\n"
                             "\n"
                             "22050 80 48 0\r\n"
                             "100 e1 0 64\n";
    std::vector<InputEvent> events;
    std::string error;
    ASSERT_TRUE(ParseMidiInput({text.begin(), text.end()}, 44100.0, events, error)) << error;
    EXPECT_EQ(Listing(events), "0 b0 74 127\n100 e1 0 64\n22050 90 48 100\n22050 80 48 0\n");

    for (const char* bad : {"12 90 48\n", "12 f8 0 0\n", "-1 90 48 1\n", "5 90 128 0\n",
                            "5 90 60 1 2\n", "x 90 60 1\n"})
    {
        const std::string line = bad;
        EXPECT_FALSE(ParseMidiInput({line.begin(), line.end()}, 44100.0, events, error)) << bad;
        EXPECT_NE(error.find("line 1"), std::string::npos) << error;
    }
}

TEST(MidiInput, AMidiFileGivesItsEventsAtTheirSamples)
{
    // The renderer's own file: 960 ticks a quarter at 120 BPM, 44.1 kHz.
    const std::vector<TimedMidiEvent> timed = {
        {0, 0x90, 60, 100}, {11025, 0xb3, 74, 5}, {22050, 0x80, 60, 0}, {66150, 0xc0, 7, 0}};
    MidiFileSettings settings;
    const std::vector<uint8_t> file = BuildMidiFile(timed, settings);
    std::vector<InputEvent> events;
    std::string error;
    ASSERT_TRUE(ParseMidiInput(file, 44100.0, events, error)) << error;
    EXPECT_EQ(Listing(events), "0 90 60 100\n11025 b3 74 5\n22050 80 60 0\n66150 c0 7 0\n");

    // Format 1, 96 ticks a quarter: a tempo track halving the tempo after one quarter, a note
    // track with running status. At 48 kHz a quarter is 24000 samples, then 48000.
    const std::vector<uint8_t> two = {
        'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96,
        // tempo track: 120 BPM at 0, 60 BPM at tick 96
        'M', 'T', 'r', 'k', 0, 0, 0, 18, 0, 0xff, 0x51, 3, 0x07, 0xa1, 0x20, 0x60, 0xff, 0x51, 3,
        0x0f, 0x42, 0x40, 0, 0xff, 0x2f, 0,
        // notes: on at 48, running-status off at 192 (one quarter at 120 BPM and one at 60)
        'M', 'T', 'r', 'k', 0, 0, 0, 12, 0x30, 0x91, 64, 90, 0x81, 0x10, 64, 0, 0, 0xff, 0x2f, 0};
    ASSERT_TRUE(ParseMidiInput(two, 48000.0, events, error)) << error;
    EXPECT_EQ(Listing(events), "12000 91 64 90\n72000 91 64 0\n");

    std::vector<uint8_t> cut(two.begin(), two.end() - 3);
    EXPECT_FALSE(ParseMidiInput(cut, 48000.0, events, error));
    EXPECT_FALSE(error.empty());
}
