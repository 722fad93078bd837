// The stream checker every validator scenario relies on: each rule on a small stream, and the
// report that names block, offset and bytes of the first violation.
#include "MidiStreamChecker.h"
#include "KnownFindings.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

namespace
{

using orxhost::CapturedEvent;
using orxvalidate::MidiStreamChecker;

CapturedEvent Ev(int32_t offset, uint8_t s, uint8_t d1, uint8_t d2, int32_t type = vst2::kEventMidi)
{
    CapturedEvent e;
    e.mType = type;
    e.mDeltaFrames = offset;
    e.mData[0] = s;
    e.mData[1] = d1;
    e.mData[2] = d2;
    return e;
}

std::string FirstOf(const std::vector<std::vector<CapturedEvent>>& blocks, int frames = 64,
                    bool stopAtEnd = true)
{
    MidiStreamChecker c;
    for (std::size_t b = 0; b < blocks.size(); ++b)
        c.Block(static_cast<int>(b), frames, false, blocks[b]);
    if (stopAtEnd)
        c.ExpectSilence("at the end");
    return c.Ok() ? "" : c.First()->Describe();
}

TEST(MidiStreamChecker, AcceptsAWellFormedStreamAcrossBlocks)
{
    EXPECT_EQ(FirstOf({{Ev(0, 0x90, 60, 100), Ev(0, 0x91, 60, 90), Ev(63, 0xE0, 0, 64)},
                       {Ev(5, 0x80, 60, 0), Ev(5, 0x91, 60, 0), Ev(6, 0xF8, 0, 0)},
                       {Ev(1, 0x92, 1, 1), Ev(2, 0xB2, 123, 0)}}),
              "");
}

TEST(MidiStreamChecker, ReportsTheFirstViolationWithBlockOffsetAndBytes)
{
    EXPECT_EQ(FirstOf({{Ev(10, 0x90, 60, 100)}, {Ev(64, 0x80, 60, 0)}}),
              "event outside its block of 64 frames (block 1, offset 64, bytes 80 3c 00)");
    EXPECT_EQ(FirstOf({{Ev(-1, 0xC0, 1, 0)}}),
              "event outside its block of 64 frames (block 0, offset -1, bytes c0 01 00)");
    EXPECT_EQ(
        FirstOf({{Ev(9, 0xB0, 1, 0), Ev(8, 0xB0, 2, 0)}}),
        "event before the one sent ahead of it (offset 9) (block 0, offset 8, bytes b0 02 00)");
    EXPECT_EQ(FirstOf({{Ev(0, 0x3C, 1, 0)}}),
              "MIDI event without a status byte (block 0, offset 0, bytes 3c 01 00)");
    EXPECT_EQ(FirstOf({{Ev(0, 0xB0, 7, 200)}}),
              "MIDI data byte above 127 (block 0, offset 0, bytes b0 07 c8)");
    EXPECT_EQ(FirstOf({{Ev(0, 0x90, 60, 100)}, {Ev(3, 0x90, 60, 90)}}),
              "note-on of a note already sounding since block 0 offset 0 (block 1, offset 3, "
              "bytes 90 3c 5a)");
    EXPECT_EQ(FirstOf({{Ev(2, 0x81, 60, 0)}}),
              "note-off of a note that is not sounding (block 0, offset 2, bytes 81 3c 00)");
    EXPECT_EQ(FirstOf({{Ev(2, 0x90, 60, 0)}}),
              "note-on with velocity 0, a note-off to every receiver, of a note that is not "
              "sounding (block 0, offset 2, bytes 90 3c 00)");
    EXPECT_EQ(FirstOf({{Ev(0, 0x90, 60, 1)}, {Ev(0, 0x80, 61, 0)}}),
              "note-off of a note that is not sounding (block 1, offset 0, bytes 80 3d 00)");
    EXPECT_EQ(FirstOf({{Ev(0, 0x00, 0, 0, 99)}}),
              "event of unknown type 99 (block 0, offset 0, bytes 00 00 00)");
}

TEST(MidiStreamChecker, StuckNotesNameTheirNoteOn)
{
    // Only the same channel and key release it: a note-off or all-notes-off on another
    // channel does not.
    EXPECT_EQ(FirstOf({{Ev(7, 0x93, 64, 80)}, {Ev(2, 0x82, 64, 0)}}),
              "note-off of a note that is not sounding (block 1, offset 2, bytes 82 40 00)");
    EXPECT_EQ(FirstOf({{Ev(7, 0x93, 64, 80)}, {}}),
              "stuck note at the end: its note-on came in this block at this offset (block 0, "
              "offset 7, bytes 93 40 50)");
    EXPECT_EQ(FirstOf({{Ev(7, 0x93, 64, 80), Ev(8, 0xB3, 123, 0)}}), "");
    EXPECT_EQ(FirstOf({{Ev(7, 0x93, 64, 80), Ev(8, 0xB2, 123, 0)}}),
              "stuck note at the end: its note-on came in this block at this offset (block 0, "
              "offset 7, bytes 93 40 50)");
}

TEST(MidiStreamChecker, StoppedBlocksStartNothingAndEndSilent)
{
    MidiStreamChecker c;
    c.Block(0, 32, false, {Ev(0, 0x90, 60, 100)});
    c.Block(1, 32, true, {Ev(0, 0x80, 60, 0), Ev(0, 0xB0, 64, 0)});
    EXPECT_TRUE(c.Ok());
    c.Block(2, 32, true, {Ev(4, 0x90, 61, 100), Ev(5, 0x80, 61, 0)});
    ASSERT_FALSE(c.Ok());
    EXPECT_EQ(c.First()->Describe(),
              "note-on while the transport is stopped (block 2, offset 4, bytes 90 3d 64)");

    MidiStreamChecker held;
    held.Block(0, 32, false, {Ev(3, 0x90, 60, 100)});
    held.Block(1, 32, true, {});
    ASSERT_FALSE(held.Ok());
    EXPECT_EQ(held.First()->Describe(), "stuck note after a stopped block: its note-on came in "
                                        "this block at this offset (block 0, offset 3, bytes 90 "
                                        "3c 64)");
    held.Outside(Ev(0, 0xF0, 0, 0, vst2::kEventSysEx));
    EXPECT_EQ(held.ViolationCount(), 2);
}

TEST(KnownFindings, MatchesByScenarioAndTextAndReportsEntriesNoLongerSeen)
{
    const auto path = std::filesystem::temp_directory_path() / "orx-known-findings.txt";
    std::FILE* f = std::fopen(path.string().c_str(), "w");
    ASSERT_TRUE(f);
    std::fputs("# comment\n\nchunks refused but changed\nmidi-input type 6\n", f);
    std::fclose(f);
    orxvalidate::KnownFindings known;
    std::string error;
    ASSERT_TRUE(known.Load(path.string(), &error)) << error;
    EXPECT_TRUE(known.Known("chunks", "cut to 5: refused but changed, at byte 3"));
    EXPECT_FALSE(known.Known("opcodes", "refused but changed"));
    EXPECT_TRUE(known.Unseen("chunks").empty());
    EXPECT_EQ(known.Unseen("midi-input"), std::vector<std::string>{"type 6"});

    f = std::fopen(path.string().c_str(), "w");
    std::fputs("lonely\n", f);
    std::fclose(f);
    orxvalidate::KnownFindings bad;
    EXPECT_FALSE(bad.Load(path.string(), &error));
    EXPECT_NE(error.find(":1: expected"), std::string::npos);
    std::filesystem::remove(path);
}

} // namespace
