// The MIDI file's bytes, read back by a small reader of the file format written here.

#include "MidiFileWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace orxrender;

namespace
{

struct TrackEvent
{
    long long mTick;
    std::vector<uint8_t> mBytes; // status and data, or FF type data for meta events
};

struct ReadFile
{
    int mFormat = -1;
    int mTracks = -1;
    int mDivision = -1;
    std::vector<TrackEvent> mEvents;
    bool mEndSeen = false;
};

uint32_t Read32(const std::vector<uint8_t>& b, std::size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// Reads the one track; fails the test on anything malformed.
ReadFile Parse(const std::vector<uint8_t>& b)
{
    ReadFile f;
    EXPECT_GE(b.size(), 22u);
    if (b.size() < 22)
        return f;
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "MThd");
    EXPECT_EQ(Read32(b, 4), 6u);
    f.mFormat = b[8] << 8 | b[9];
    f.mTracks = b[10] << 8 | b[11];
    f.mDivision = b[12] << 8 | b[13];
    EXPECT_EQ(std::string(b.begin() + 14, b.begin() + 18), "MTrk");
    const std::size_t end = 22 + Read32(b, 18);
    EXPECT_EQ(end, b.size());
    std::size_t p = 22;
    long long tick = 0;
    while (p < end && !f.mEndSeen)
    {
        uint32_t delta = 0;
        int n = 0;
        uint8_t c = 0;
        do
        {
            c = b[p++];
            delta = delta << 7 | (c & 0x7F);
            ++n;
        } while ((c & 0x80) && n < 4);
        EXPECT_EQ(c & 0x80, 0) << "a delta longer than four bytes";
        tick += delta;
        TrackEvent e{tick, {}};
        const uint8_t status = b[p];
        std::size_t size = 0;
        if (status == 0xFF)
            size = 3 + b[p + 2];
        else if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0)
            size = 2;
        else
            size = 3;
        EXPECT_GE(status, 0x80) << "running status is never written";
        e.mBytes.assign(b.begin() + static_cast<long>(p), b.begin() + static_cast<long>(p + size));
        p += size;
        f.mEndSeen = status == 0xFF && e.mBytes[1] == 0x2F;
        f.mEvents.push_back(e);
    }
    EXPECT_EQ(p, end);
    return f;
}

std::vector<TrackEvent> ChannelEvents(const ReadFile& f)
{
    std::vector<TrackEvent> out;
    for (const TrackEvent& e : f.mEvents)
        if (e.mBytes[0] != 0xFF)
            out.push_back(e);
    return out;
}

} // namespace

TEST(MidiFileWriter, HeaderTempoAndTimeSignature)
{
    MidiFileSettings s;
    s.mTempo = 90.0;
    s.mNumerator = 6;
    s.mDenominator = 8;
    const ReadFile f = Parse(BuildMidiFile({}, s));
    EXPECT_EQ(f.mFormat, 0);
    EXPECT_EQ(f.mTracks, 1);
    EXPECT_EQ(f.mDivision, 960);
    ASSERT_EQ(f.mEvents.size(), 3u);
    // 60000000 / 90 = 666667 microseconds per quarter note.
    EXPECT_EQ(f.mEvents[0].mBytes, (std::vector<uint8_t>{0xFF, 0x51, 3, 0x0A, 0x2C, 0x2B}));
    EXPECT_EQ(f.mEvents[1].mBytes, (std::vector<uint8_t>{0xFF, 0x58, 4, 6, 3, 24, 8}));
    EXPECT_TRUE(f.mEndSeen);
}

TEST(MidiFileWriter, EventsLandOnTheirTicksInOrder)
{
    MidiFileSettings s; // 44100 Hz, 120 BPM: 22050 samples per quarter note
    s.mEndSample = 44100 * 2;
    const std::vector<TimedMidiEvent> events = {
        {0, 0x90, 60, 100},     {11025, 0x80, 60, 0}, {11025, 0x91, 64, 90},
        {11036, 0xC1, 5, 0},    {22050, 0x81, 64, 0}, {22061, 0xF8, 0, 0}, // clock: left out
        {22072, 0xE0, 0, 0x40},
    };
    const std::vector<TrackEvent> got = ChannelEvents(Parse(BuildMidiFile(events, s)));
    ASSERT_EQ(got.size(), 6u);
    EXPECT_EQ(got[0].mTick, 0);
    EXPECT_EQ(got[1].mTick, 480);
    EXPECT_EQ(got[2].mTick, 480);
    EXPECT_EQ(got[2].mBytes, (std::vector<uint8_t>{0x91, 64, 90}));
    EXPECT_EQ(got[3].mTick, 480); // 11 samples are less than half a tick (22.97 samples)
    EXPECT_EQ(got[3].mBytes, (std::vector<uint8_t>{0xC1, 5}));
    EXPECT_EQ(got[4].mTick, 960);
    EXPECT_EQ(got[5].mTick, 961);
    const ReadFile f = Parse(BuildMidiFile(events, s));
    EXPECT_EQ(f.mEvents.back().mTick, 3840); // the track ends with the render
}

TEST(MidiFileWriter, TicksRoundToTheNearestAndNeverGoBack)
{
    MidiFileSettings s;
    EXPECT_EQ(SampleToTick(11, s), 0); // 0.479 ticks
    EXPECT_EQ(SampleToTick(12, s), 1); // 0.522 ticks
    EXPECT_EQ(SampleToTick(22050 * 1000, s), 960000);
    // An event stamped earlier than the one before it keeps the track's order at delta 0.
    const std::vector<TrackEvent> got =
        ChannelEvents(Parse(BuildMidiFile({{5000, 0x90, 1, 1}, {100, 0x80, 1, 0}}, s)));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].mTick, got[0].mTick);
}

TEST(MidiFileWriter, LongGapsAreBridged)
{
    // 300 million ticks is more than one delta can hold.
    MidiFileSettings s;
    s.mSampleRate = 960.0;
    s.mTempo = 60.0; // one sample per tick
    const long long far = 300000000;
    const std::vector<TrackEvent> got =
        ChannelEvents(Parse(BuildMidiFile({{0, 0x90, 1, 1}, {far, 0x80, 1, 0}}, s)));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].mTick, far);
}

TEST(MidiFileWriter, SettingsTheFormatCannotHoldAreRefused)
{
    MidiFileSettings s;
    EXPECT_EQ(CheckMidiFileSettings(s), "");
    const auto refused = [](MidiFileSettings bad)
    { return !CheckMidiFileSettings(bad).empty() && BuildMidiFile({}, bad).empty(); };
    MidiFileSettings t = s;
    t.mDenominator = 6;
    EXPECT_TRUE(refused(t));
    t = s;
    t.mNumerator = 0;
    EXPECT_TRUE(refused(t));
    t = s;
    t.mTempo = 3.0; // 20 seconds a quarter note: more than 24 bits of microseconds
    EXPECT_TRUE(refused(t));
    t = s;
    t.mTempo = 0.0;
    EXPECT_TRUE(refused(t));
    t = s;
    t.mSampleRate = 0.0;
    EXPECT_TRUE(refused(t));
    t = s;
    t.mTicksPerQuarter = 0x8000; // the top bit would mean SMPTE time
    EXPECT_TRUE(refused(t));
}
