// Incoming MIDI and SysEx passed through as a host sees it: held for the process call, each
// message at its own offset even when a long host block is processed in pieces, and forgotten
// by a suspend.

#include "HostedOrlantix.h"

#include <algorithm>

namespace
{

// A SysEx event over bytes the caller keeps.
vst2::SysExEvent SysEx(std::vector<char>& bytes, int32_t deltaFrames)
{
    vst2::SysExEvent e{};
    e.type = vst2::kEventSysEx;
    e.byteSize = sizeof(e);
    e.deltaFrames = deltaFrames;
    e.dumpBytes = static_cast<int32_t>(bytes.size());
    e.sysexDump = bytes.data();
    return e;
}

std::vector<uint8_t> Unsigned(const std::vector<char>& bytes)
{
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

} // namespace

TEST_F(HostedOrlantix, PassThroughKeepsItsOffsetInEveryPieceOfALongHostBlock)
{
    Start(1024);
    // 1/32 notes at 600 BPM: a pulse every 551.25 samples, notes on every other one, so the
    // second piece (1024..2047) holds a note-on at 1102 and its note-off at 1653.
    mHost.GetTransport().mTempo = 600.0;
    mHost.SetParameter(kTimeUnits, Norm(5, 0, 16));
    mHost.SetParameter(kLengthUnits, Norm(5, 0, 16));
    // Pitch bends told apart by their first data byte: offset sent, offset expected.
    const std::pair<int32_t, int32_t> bends[] = {
        {1500, 1500}, {100, 100}, {1023, 1023}, {1024, 1024}, {2047, 2047}, {5000, 2047}, {-3, 0}};
    for (uint8_t i = 0; i < std::size(bends); ++i)
        mHost.SendMidi(0xE0, i, 0x40, bends[i].first);
    std::vector<char> dump = {static_cast<char>(0xF0), 0x7D, 0x10, 0x20, static_cast<char>(0xF7)};
    vst2::SysExEvent sysex = SysEx(dump, 1200);
    mHost.SendEvents({reinterpret_cast<vst2::Event*>(&sysex)});
    dump.assign(dump.size(), 0); // the host's buffer is its own again
    EXPECT_TRUE(mHost.Events().empty());

    mHost.Process(2048);
    const std::vector<orxhost::CapturedEvent> events = EventsOfBlock(0);
    ASSERT_EQ(mHost.Events().size(), events.size()); // nothing outside the process call
    for (size_t i = 1; i < events.size(); ++i)
        EXPECT_LE(events[i - 1].mDeltaFrames, events[i].mDeltaFrames) << i;
    std::vector<int32_t> bendOffsets(std::size(bends), -1);
    int sysexCount = 0;
    bool noteBeforeBend = false;
    for (const orxhost::CapturedEvent& e : events)
        if (e.mType == vst2::kEventSysEx)
        {
            ++sysexCount;
            EXPECT_EQ(e.mDeltaFrames, 1200);
            EXPECT_EQ(e.mSysEx, Unsigned({static_cast<char>(0xF0), 0x7D, 0x10, 0x20,
                                          static_cast<char>(0xF7)}));
        }
        else if (e.mData[0] == 0xE0)
            bendOffsets[e.mData[1]] = e.mDeltaFrames;
        else if (e.mData[0] == 0x90 && e.mDeltaFrames == 1102)
            noteBeforeBend = bendOffsets[0] < 0;
    for (size_t i = 0; i < std::size(bends); ++i)
        EXPECT_EQ(bendOffsets[i], bends[i].second) << "bend " << i;
    EXPECT_EQ(sysexCount, 1);
    EXPECT_TRUE(noteBeforeBend); // the note at 1102 goes out before the bend at 1500

    // Each message went out once.
    mHost.Process(2048);
    for (const orxhost::CapturedEvent& e : EventsOfBlock(1))
        EXPECT_TRUE(e.mType == vst2::kEventMidi && (e.mData[0] & 0xE0) == 0x80);
}

TEST_F(HostedOrlantix, ASuspendForgetsWhatWaitsToPassThrough)
{
    Start();
    std::vector<char> dump = {static_cast<char>(0xF0), 0x01, static_cast<char>(0xF7)};
    vst2::SysExEvent sysex = SysEx(dump, 5);
    mHost.SendMidi(0xE0, 1, 0x40, 10);
    mHost.SendEvents({reinterpret_cast<vst2::Event*>(&sysex)});
    mHost.Suspend();
    mHost.Resume();
    mHost.Process(512);
    for (const orxhost::CapturedEvent& e : mHost.Events())
        EXPECT_TRUE(e.mType == vst2::kEventMidi && (e.mData[0] & 0xE0) == 0x80);

    // Messages after the resume pass as before.
    mHost.ClearCaptures();
    mHost.SendMidi(0xE0, 2, 0x40, 10);
    mHost.SendEvents({reinterpret_cast<vst2::Event*>(&sysex)});
    mHost.Process(512);
    int bends = 0;
    int sysexes = 0;
    for (const orxhost::CapturedEvent& e : mHost.Events())
    {
        bends += e.mType == vst2::kEventMidi && e.mData[0] == 0xE0 && e.mData[1] == 2;
        sysexes += e.mType == vst2::kEventSysEx && e.mSysEx == Unsigned(dump);
    }
    EXPECT_EQ(bends, 1);
    EXPECT_EQ(sysexes, 1);
}
