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

// Messages passed through at the very sample of a generated note go out before it: a program
// change at a note-on's sample must reach the synthesiser first, or the note sounds with the
// old patch. Against the notes of a twin instance without them: every message goes in before
// the first note at or after its sample, in the order sent, in every piece of a long host
// block, and the notes are otherwise unchanged.
TEST_F(HostedOrlantix, PassedThroughMessagesGoOutBeforeNotesAtTheirSample)
{
    auto start = [](orxhost::VstHost& host)
    {
        host.Start(44100.0f, 1024);
        host.GetTransport().mTempo = 600.0; // 1/32 notes: a pulse every 551.25 samples
        host.SetParameter(kTimeUnits, Norm(5, 0, 16));
        host.SetParameter(kLengthUnits, Norm(5, 0, 16));
    };
    start(mHost);
    mHost.Process(4096); // four pieces
    const std::vector<orxhost::CapturedEvent> notes = EventsOfBlock(0);
    ASSERT_GE(notes.size(), 5u); // note-ons every 1102.5 samples, note-offs

    orxhost::VstHost twin;
    ASSERT_TRUE(twin.Load(ORX_PLUGIN_PATH)) << twin.Error();
    start(twin);
    // At the sample of every note, and at the start of the second piece: a program change, a
    // channel pressure and, at the first note, a SysEx; told apart by their data bytes.
    std::vector<int32_t> offsets;
    for (const orxhost::CapturedEvent& e : notes)
        if (offsets.empty() || offsets.back() != e.mDeltaFrames)
            offsets.push_back(e.mDeltaFrames);
    offsets.push_back(1024);
    std::vector<char> dump = {static_cast<char>(0xF0), 0x7D, 0x01, static_cast<char>(0xF7)};
    vst2::SysExEvent sysex = SysEx(dump, offsets[0]);
    twin.SendEvents({reinterpret_cast<vst2::Event*>(&sysex)});
    std::vector<std::pair<int32_t, std::vector<uint8_t>>> sent = {{offsets[0], Unsigned(dump)}};
    for (std::size_t i = 0; i < offsets.size(); ++i)
    {
        const auto n = static_cast<uint8_t>(i);
        twin.SendMidi(0xC0, n, 0, offsets[i]);
        twin.SendMidi(0xD0, n, 0, offsets[i]);
        sent.push_back({offsets[i], {0xC0, n, 0}});
        sent.push_back({offsets[i], {0xD0, n, 0}});
    }
    std::stable_sort(sent.begin(), sent.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    twin.Process(4096);

    auto describe = [](int32_t offset, const std::vector<uint8_t>& bytes)
    {
        std::string text = std::to_string(offset);
        for (const uint8_t b : bytes)
            text += " " + std::to_string(b);
        return text;
    };
    auto bytesOf = [](const orxhost::CapturedEvent& e) {
        return e.mType == vst2::kEventSysEx ? e.mSysEx : std::vector<uint8_t>(e.mData, e.mData + 3);
    };
    std::vector<std::string> expected, got;
    std::size_t s = 0;
    for (const orxhost::CapturedEvent& note : notes)
    {
        for (; s < sent.size() && sent[s].first <= note.mDeltaFrames; ++s)
            expected.push_back(describe(sent[s].first, sent[s].second));
        expected.push_back(describe(note.mDeltaFrames, bytesOf(note)));
    }
    for (; s < sent.size(); ++s)
        expected.push_back(describe(sent[s].first, sent[s].second));
    for (const orxhost::CapturedEvent& e : twin.Events())
        if (e.mBlock == 0)
            got.push_back(describe(e.mDeltaFrames, bytesOf(e)));
    EXPECT_EQ(got, expected);
}
