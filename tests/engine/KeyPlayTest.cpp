// Playing the pattern from a keyboard: whole event streams of the engine while keys are played
// at chosen samples, cut into blocks in every way, with the transport stopping, looping and the
// state reloading in the middle.

#include "EngineDriver.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>

namespace
{

struct Key
{
    long long mTime;
    int mNote;
    bool mDown;
};

// One pulse every 11025 samples (1/8 at 120 BPM), notes a 1/16 long, degree 0 only.
void Prepare(PatternEngine& e, KeyPlayMode mode)
{
    e.SetNoteLengthDivision(DivisionIndex("1/16"));
    StrikeEveryPulse(e, 1);
    e.mKeys.SetMode(mode);
}

// Plays [start, start + total) in blocks from nextSize, each block's keys handed over first.
std::vector<StreamEvent> PlayKeys(PatternEngine& e, long long start, long long total,
                                  const std::vector<Key>& keys,
                                  const std::function<int()>& nextSize)
{
    std::vector<StreamEvent> events;
    TransportState t = Playing();
    size_t k = 0;
    for (long long pos = start; pos < start + total;)
    {
        const int n = static_cast<int>(std::min<long long>(nextSize(), start + total - pos));
        for (; k < keys.size() && keys[k].mTime < pos + n; ++k)
            e.mKeys.Push(static_cast<int>(keys[k].mTime - pos), 0, keys[k].mNote, keys[k].mDown);
        t.mSamplePos = static_cast<int>(pos);
        e.ProcessBlock(t, n);
        AppendBlock(events, pos, e.mMidiOut);
        pos += n;
    }
    return events;
}

// Every note-on answered by one note-off of its key, none left sounding, none ended twice.
::testing::AssertionResult Balanced(const std::vector<StreamEvent>& events)
{
    std::map<std::pair<int, int>, int> sounding;
    for (const StreamEvent& ev : events)
    {
        const auto key = std::make_pair(ev.mStatus & 0x0f, ev.mData1);
        if ((ev.mStatus & 0xf0) == 0x90)
            ++sounding[key];
        else if ((ev.mStatus & 0xf0) == 0x80 && --sounding[key] < 0)
            return ::testing::AssertionFailure() << "a note-off without its note at " << ev.mTime;
    }
    for (const auto& [key, count] : sounding)
        if (count != 0)
            return ::testing::AssertionFailure() << "key " << key.second << " left sounding";
    return ::testing::AssertionSuccess();
}

// The note the pattern plays on a pulse with the Tonic parameter (60), moved to another tonic.
std::vector<StreamEvent> Untouched(long long total)
{
    PatternEngine e;
    Prepare(e, KeyPlayMode::kOff);
    return PlayRun(e, Playing(), 0, total, FixedBlocks(total));
}

} // namespace

TEST(KeyPlay, TransposeAndGateFollowTheKeysSampleExactlyHoweverTheBlocksFall)
{
    // Pulses at 0, 11025, 22050, ...; no key falls on one.
    const std::vector<Key> keys = {{3000, 48, true},   // opens the gate: tonic C3
                                   {30000, 50, true},  // a second key: tonic D3
                                   {40000, 48, false}, // one still held: sounds on
                                   {47000, 50, false}, // the last let go during a note
                                   {70000, 55, true},  // G3 again from the next pulse
                                   {90000, 55, false}};
    const long long total = 110250;
    const std::vector<StreamEvent> plain = Untouched(total);
    const auto noteAt = [&](long long time)
    {
        for (const StreamEvent& ev : plain)
            if (ev.mTime == time && (ev.mStatus & 0xf0) == 0x90)
                return ev.mData1;
        return -1;
    };
    // The tonic moves the pattern as a whole.
    const std::vector<StreamEvent> expected = {
        {11025, 0x90, noteAt(11025) - 12, 100}, {16537, 0x80, noteAt(11025) - 12, 0},
        {22050, 0x90, noteAt(22050) - 12, 100}, {27562, 0x80, noteAt(22050) - 12, 0},
        {33075, 0x90, noteAt(33075) - 10, 100}, {38587, 0x80, noteAt(33075) - 10, 0},
        {44100, 0x90, noteAt(44100) - 10, 100}, {47000, 0x80, noteAt(44100) - 10, 0},
        {77175, 0x90, noteAt(77175) - 5, 100},  {82687, 0x80, noteAt(77175) - 5, 0},
        {88200, 0x90, noteAt(88200) - 5, 100},  {90000, 0x80, noteAt(88200) - 5, 0},
    };

    std::mt19937 random(7);
    const std::vector<std::function<int()>> blockings = {
        FixedBlocks(512), FixedBlocks(1), FixedBlocks(4096), FixedBlocks(static_cast<int>(total)),
        [&] { return static_cast<int>(random() % 2048) + 1; }};
    for (size_t b = 0; b < blockings.size(); ++b)
    {
        PatternEngine gate;
        Prepare(gate, KeyPlayMode::kGate);
        const std::vector<StreamEvent> events = PlayKeys(gate, 0, total, keys, blockings[b]);
        EXPECT_EQ(FormatStream(events), FormatStream(expected)) << "blocking " << b;
        EXPECT_EQ(gate.mKeys.HeldKeys(), 0);
    }

    // Transpose alone: every pulse sounds, at the last key's tonic from its sample on.
    PatternEngine transpose;
    Prepare(transpose, KeyPlayMode::kTranspose);
    const std::vector<StreamEvent> ons =
        NoteOns(PlayKeys(transpose, 0, total, keys, FixedBlocks(333)));
    ASSERT_EQ(ons.size(), 10u);
    const int shift[10] = {0, -12, -12, -10, -10, -10, -10, -5, -5, -5};
    for (size_t i = 0; i < ons.size(); ++i)
        EXPECT_EQ(ons[i].mData1, noteAt(ons[i].mTime) + shift[i]) << ons[i].mTime;

    // Off: the keys change nothing.
    PatternEngine off;
    Prepare(off, KeyPlayMode::kOff);
    EXPECT_EQ(FormatStream(PlayKeys(off, 0, total, keys, FixedBlocks(512))), FormatStream(plain));
}

TEST(KeyPlay, NoNoteStaysOnWhenKeysGoOnStopLoopOrStateLoad)
{
    PatternEngine e;
    Prepare(e, KeyPlayMode::kGate);
    e.SetNoteLengthDivision(DivisionIndex("1/2")); // notes over several pulses, overlapping
    std::vector<StreamEvent> events;
    TransportState t = Playing();
    const auto block = [&](long long pos, int n, bool running, std::vector<Key> keys = {})
    {
        for (const Key& k : keys)
            e.mKeys.Push(static_cast<int>(k.mTime - pos), 0, k.mNote, k.mDown);
        t.mSamplePos = static_cast<int>(pos);
        t.mRunning = running;
        e.ProcessBlock(t, n);
        AppendBlock(events, pos, e.mMidiOut);
    };
    // Held over a block boundary, then the transport stops mid-note: all off at once; the key
    // let go while stopped closes the gate, so starting again plays nothing.
    block(0, 20000, true, {{100, 60, true}});
    block(20000, 20000, true);
    EXPECT_GT(e.mNoteStream.LiveNotes(), 0);
    block(40000, 1000, false, {{40500, 60, false}});
    block(41000, 30000, true);
    EXPECT_TRUE(Balanced(events));
    EXPECT_EQ(NoteOns(events).back().mTime, 33075);

    // A loop jumps back while a key is held; the key goes right after the jump.
    events.clear();
    block(71000, 20000, true, {{71500, 62, true}});
    block(0, 10000, true, {{5000, 62, false}});
    block(10000, 30000, true);
    EXPECT_TRUE(Balanced(events));
    EXPECT_EQ(events.back().mTime, 5000);

    // A state load switches to gate while the pattern sounds freely: what sounds ends at the
    // next block's start, and nothing more until a key comes.
    events.clear();
    e.mKeys.SetMode(KeyPlayMode::kOff);
    block(40000, 30000, true);
    EXPECT_GT(e.mNoteStream.LiveNotes(), 0);
    e.mKeys.SetMode(KeyPlayMode::kGate);
    e.mResyncPending = true;
    block(70000, 30000, true);
    EXPECT_TRUE(Balanced(events));
    EXPECT_EQ(events.back().mTime, 70000);
    EXPECT_EQ(e.mKeys.LastKey(), -1); // the mode was off in between: the tonic is the parameter's
}

TEST(KeyPlay, CutEndsEverythingSoundingAtItsSampleOnce)
{
    NoteStream s;
    MidiOutList out;
    out.Reserve(s.MaxMessages());
    s.AddNote(10, 0, 60, 100, 1000); // sent, note-off beyond the block
    s.AddNote(20, 1, 61, 100, 0);    // sent, no note-off of its own
    s.Render(100, out);
    s.AddNote(5, 0, 62, 100, 30); // starts before the cut, ends before it: kept
    s.AddNote(8, 0, 63, 100, 90); // starts before the cut, ends after it: cut
    s.AddNote(50, 0, 64, 100, 9); // starts at the cut: never sounds
    s.CutAt(50);
    out.Clear();
    s.Render(100, out);
    std::vector<StreamEvent> events;
    AppendBlock(events, 0, out);
    // The note-offs moved keep their order; the one made for the note without one comes last.
    EXPECT_EQ(FormatStream(events), "5 90 62 100\n8 90 63 100\n35 80 62 0\n50 80 63 0\n"
                                    "50 80 60 0\n50 81 61 0\n");
    EXPECT_EQ(s.PendingEvents(), 0);
    EXPECT_EQ(s.LiveNotes(), 0);
    for (int note = 60; note < 65; ++note)
        EXPECT_EQ(s.SoundingChannels(note), 0u) << note;
}
