#include "NoteStream.h"

#include "EventStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

namespace
{
// Renders consecutive blocks of `block` samples until `total` samples have passed.
std::vector<StreamEvent> RenderBlocks(NoteStream& s, int block, long long total,
                                      long long start = 0)
{
    std::vector<StreamEvent> events;
    MidiOutList out;
    out.Reserve(s.MaxMessages());
    for (long long pos = start; pos < start + total; pos += block)
    {
        out.Clear();
        s.Render(block, out);
        AppendBlock(events, pos, out);
    }
    return events;
}

StreamEvent On(long long t, int note, int vel, int ch = 0)
{
    return {t, 0x90 | ch, note, vel};
}

StreamEvent Off(long long t, int note, int ch = 0)
{
    return {t, 0x80 | ch, note, 0};
}

// The note stream's rules written the plainest way: one vector in time order, walked from the
// start for every insertion and cut; a note ends with the last of its events to leave.
class ModelStream
{
public:
    ModelStream(int noteCapacity, int eventCapacity)
        : mNoteCapacity(noteCapacity), mEventCapacity(eventCapacity)
    {
    }

    bool AddNote(int t, int channel, int note, int velocity, int length)
    {
        if (note < 0 || note > 127 || channel < 0 || channel > 15)
            return false;
        const int events = length > 0 ? 2 : 1;
        if (mLive >= mNoteCapacity || mEventCapacity - static_cast<int>(mEvents.size()) < events)
        {
            ++mDropped;
            return false;
        }
        t = std::max(t, 0);
        const long long time = mOrigin + t;
        long long latestOn = mOrigin;
        for (std::size_t i = 0; i < mEvents.size(); ++i)
        {
            const Event e = mEvents[i];
            if (e.mChannel != channel || e.mNote != note)
                continue;
            if (e.mOn)
                latestOn = e.mTime;
            else if (time >= latestOn && e.mTime >= time)
            {
                mEvents.erase(mEvents.begin() + static_cast<long>(i));
                Insert(e, mOrigin + (t > 0 ? t - 1 : 0));
                break;
            }
        }
        ++mLive;
        Insert({0, true, channel, note, velocity, mNextId}, time);
        if (length > 0)
            Insert({0, false, channel, note, 0, mNextId},
                   mOrigin + std::min<long long>(static_cast<long long>(t) + length, INT_MAX));
        ++mNextId;
        return true;
    }

    std::vector<StreamEvent> Render(int length)
    {
        std::vector<StreamEvent> out;
        while (!mEvents.empty() && mEvents.front().mTime < mOrigin + length)
        {
            const Event e = mEvents.front();
            mEvents.erase(mEvents.begin());
            out.push_back(e.mOn ? On(e.mTime - mOrigin, e.mNote, e.mVelocity, e.mChannel)
                                : Off(e.mTime - mOrigin, e.mNote, e.mChannel));
            if (e.mOn)
                mSounding[e.mNote] |= 1u << e.mChannel;
            else
                mSounding[e.mNote] &= ~(1u << e.mChannel);
            if (std::none_of(mEvents.begin(), mEvents.end(),
                             [&](const Event& other) { return other.mId == e.mId; }))
                --mLive;
        }
        mOrigin += length;
        return out;
    }

    void DropUnsentNotes()
    {
        for (std::size_t i = 0; i < mEvents.size(); ++i)
        {
            if (!mEvents[i].mOn)
                continue;
            const int id = mEvents[i].mId;
            std::erase_if(mEvents, [id](const Event& e) { return e.mId == id; });
            --mLive;
            i = static_cast<std::size_t>(-1); // from the start again
        }
    }

    std::vector<StreamEvent> AllNotesOff()
    {
        mEvents.clear();
        mLive = 0;
        std::vector<StreamEvent> out;
        for (int note = 0; note < 128; ++note)
            for (int c = 0; c < 16; ++c)
                if (mSounding[note] & (1u << c))
                    out.push_back(Off(0, note, c));
        std::fill(std::begin(mSounding), std::end(mSounding), 0u);
        return out;
    }

    int Pending() const { return static_cast<int>(mEvents.size()); }
    int Live() const { return mLive; }
    int Dropped() const { return mDropped; }
    uint32_t Sounding(int note) const { return mSounding[note]; }

private:
    struct Event
    {
        long long mTime;
        bool mOn;
        int mChannel;
        int mNote;
        int mVelocity;
        int mId;
    };

    // After every event at the same time.
    void Insert(Event e, long long time)
    {
        e.mTime = time;
        auto at = std::upper_bound(mEvents.begin(), mEvents.end(), time,
                                   [](long long t, const Event& other) { return t < other.mTime; });
        mEvents.insert(at, e);
    }

    std::vector<Event> mEvents;
    long long mOrigin = 0;
    int mNoteCapacity;
    int mEventCapacity;
    int mLive = 0;
    int mDropped = 0;
    int mNextId = 0;
    uint32_t mSounding[128] = {};
};

std::vector<StreamEvent> Messages(const MidiOutList& out)
{
    std::vector<StreamEvent> events;
    AppendBlock(events, 0, out);
    return events;
}
} // namespace

TEST(NoteStream, NoteOffManyBlocksLaterAtTheRightOffset)
{
    NoteStream s;
    ASSERT_TRUE(s.AddNote(5, 0, 60, 100, 1000));
    MidiOutList out;
    out.Reserve(16);
    s.Render(64, out);
    ASSERT_EQ(out.Size(), 1);
    EXPECT_EQ(out[0].mOffset, 5);
    EXPECT_EQ(s.SoundingChannels(60), 1u);
    // Blocks 1..14 are empty; the note-off at 1005 lies at offset 45 of block 15.
    for (int block = 1; block < 15; ++block)
    {
        out.Clear();
        s.Render(64, out);
        EXPECT_EQ(out.Size(), 0) << block;
    }
    out.Clear();
    s.Render(64, out);
    ASSERT_EQ(out.Size(), 1);
    EXPECT_EQ(out[0].mOffset, 45);
    EXPECT_EQ(out[0].mStatus, 0x80);
    EXPECT_EQ(s.SoundingChannels(60), 0u);
    EXPECT_EQ(s.LiveNotes(), 0);
    EXPECT_EQ(s.PendingEvents(), 0);
}

TEST(NoteStream, OverlappingNotesOfOneKeyAreCutBeforeTheNextNoteOn)
{
    NoteStream s;
    s.AddNote(0, 0, 60, 100, 100);
    s.AddNote(50, 0, 60, 90, 100);
    EXPECT_EQ(RenderBlocks(s, 256, 256), (std::vector<StreamEvent>{On(0, 60, 100), Off(49, 60),
                                                                   On(50, 60, 90), Off(150, 60)}));

    // Another channel or another key is not cut.
    NoteStream t;
    t.AddNote(0, 0, 60, 100, 100);
    t.AddNote(50, 1, 60, 90, 100);
    t.AddNote(60, 0, 61, 80, 10);
    EXPECT_EQ(RenderBlocks(t, 256, 256),
              (std::vector<StreamEvent>{On(0, 60, 100), On(50, 60, 90, 1), On(60, 61, 80),
                                        Off(70, 61), Off(100, 60), Off(150, 60, 1)}));
}

TEST(NoteStream, OnlyThePendingNoteOffAtOrAfterTheNewNoteIsCut)
{
    NoteStream s;
    s.AddNote(0, 0, 60, 100, 40);   // off at 40
    s.AddNote(10, 0, 60, 100, 100); // cuts the first to 9, off at 110
    s.AddNote(20, 0, 60, 100, 5);   // cuts the second to 19; the first stays at 9
    EXPECT_EQ(RenderBlocks(s, 128, 128),
              (std::vector<StreamEvent>{On(0, 60, 100), Off(9, 60), On(10, 60, 100), Off(19, 60),
                                        On(20, 60, 100), Off(25, 60)}));
}

TEST(NoteStream, ACutByANoteOnAtABlocksFirstSampleLandsOnThatSample)
{
    // Time t - 1 does not exist in the block of t = 0, so the note-off stays at the note-on's
    // sample, sent before it. Only the first block after a jump plays a pulse at 0: a pulse on
    // a block's end is added at the block length, so its cut lands inside the earlier block.
    NoteStream s;
    s.AddNote(10, 0, 60, 100, 100);
    std::vector<StreamEvent> events = RenderBlocks(s, 64, 64);
    s.AddNote(0, 0, 60, 90, 10);
    const std::vector<StreamEvent> second = RenderBlocks(s, 64, 64, 64);
    events.insert(events.end(), second.begin(), second.end());
    EXPECT_EQ(events, (std::vector<StreamEvent>{On(10, 60, 100), Off(64, 60), On(64, 60, 90),
                                                Off(74, 60)}));
}

TEST(NoteStream, EventsAtOneTimeKeepTheOrderTheyWereAdded)
{
    NoteStream s;
    s.AddNote(5, 0, 64, 100, 10);
    s.AddNote(5, 0, 60, 100, 10);
    s.AddNote(5, 2, 62, 100, 10);
    EXPECT_EQ(RenderBlocks(s, 64, 64),
              (std::vector<StreamEvent>{On(5, 64, 100), On(5, 60, 100), On(5, 62, 100, 2),
                                        Off(15, 64), Off(15, 60), Off(15, 62, 2)}));
}

TEST(NoteStream, AnEventAtTheBlockEndBelongsToTheNextBlock)
{
    NoteStream s;
    s.AddNote(10, 0, 60, 100, 54); // off at 64
    MidiOutList out;
    out.Reserve(8);
    s.Render(64, out);
    ASSERT_EQ(out.Size(), 1);
    out.Clear();
    s.Render(64, out);
    ASSERT_EQ(out.Size(), 1);
    EXPECT_EQ(out[0].mOffset, 0);
    EXPECT_EQ(out[0].mStatus, 0x80);
}

TEST(NoteStream, ANoteOnTheBlockEndCutsInsideTheBlockAndWaitsUnlessDropped)
{
    NoteStream s;
    s.AddNote(10, 0, 60, 100, 100); // off at 110
    s.AddNote(64, 0, 60, 90, 30);   // on the end of a 64-sample block: cuts to 63
    EXPECT_EQ(RenderBlocks(s, 64, 128), (std::vector<StreamEvent>{On(10, 60, 100), Off(63, 60),
                                                                  On(64, 60, 90), Off(94, 60)}));

    // The next block does not follow on: the waiting note goes, with its note-off; a sounding
    // note keeps its own, and so does a note-off that itself waits on the block's end.
    NoteStream t;
    t.AddNote(0, 0, 61, 100, 200);
    t.AddNote(1, 0, 63, 100, 63);
    t.AddNote(64, 0, 62, 100, 30);
    std::vector<StreamEvent> events = RenderBlocks(t, 64, 64);
    t.DropUnsentNotes();
    EXPECT_EQ(t.LiveNotes(), 2);
    EXPECT_EQ(t.PendingEvents(), 2);
    const std::vector<StreamEvent> later = RenderBlocks(t, 64, 256, 64);
    events.insert(events.end(), later.begin(), later.end());
    EXPECT_EQ(events, (std::vector<StreamEvent>{On(0, 61, 100), On(1, 63, 100), Off(64, 63),
                                                Off(200, 61)}));
    EXPECT_EQ(t.LiveNotes(), 0);
}

TEST(NoteStream, AllNotesOffReleasesEverySoundingNoteInNoteThenChannelOrder)
{
    NoteStream s;
    s.AddNote(0, 0, 64, 100, 500);
    s.AddNote(1, 3, 60, 100, 500);
    s.AddNote(2, 0, 60, 100, 500);
    s.AddNote(3, 5, 70, 100, 0);    // no note-off of its own
    s.AddNote(100, 0, 72, 100, 50); // not yet sent: dropped without a note-off
    MidiOutList out;
    out.Reserve(s.MaxMessages());
    s.Render(64, out);
    ASSERT_EQ(out.Size(), 4);
    out.Clear();
    s.AllNotesOff(out);
    std::vector<StreamEvent> events;
    AppendBlock(events, 0, out);
    EXPECT_EQ(events,
              (std::vector<StreamEvent>{Off(0, 60), Off(0, 60, 3), Off(0, 64), Off(0, 70, 5)}));
    EXPECT_EQ(s.PendingEvents(), 0);
    EXPECT_EQ(s.LiveNotes(), 0);
    for (int n = 0; n < NoteStream::kNumNotes; ++n)
        EXPECT_EQ(s.SoundingChannels(n), 0u) << n;
    out.Clear();
    s.Render(1000, out);
    EXPECT_EQ(out.Size(), 0);
}

TEST(NoteStream, RefusesWhatMidiCannotCarryAndWhatTheReserveCannotHold)
{
    NoteStream s;
    EXPECT_FALSE(s.AddNote(0, 0, 128, 100, 10));
    EXPECT_FALSE(s.AddNote(0, 0, -1, 100, 10));
    EXPECT_FALSE(s.AddNote(0, 16, 60, 100, 10));
    EXPECT_EQ(s.PendingEvents(), 0);

    const int capacity = s.NoteCapacity();
    for (int i = 0; i < capacity; ++i)
        ASSERT_TRUE(s.AddNote(i % 1000, i % 16, i % 128, 100, 5000)) << i;
    EXPECT_FALSE(s.AddNote(0, 0, 1, 100, 10));
    EXPECT_EQ(s.DroppedNotes(), 1);
    // Rendering gives the nodes back.
    MidiOutList out;
    out.Reserve(s.MaxMessages());
    s.Render(10000, out);
    EXPECT_EQ(out.Size(), 2 * capacity);
    EXPECT_EQ(s.LiveNotes(), 0);
    EXPECT_TRUE(s.AddNote(0, 0, 1, 100, 10));
}

TEST(NoteStream, NotesWithoutLengthReturnTheirNodesButKeepSounding)
{
    NoteStream s;
    const int capacity = s.NoteCapacity();
    MidiOutList out;
    out.Reserve(s.MaxMessages());
    // Far more notes than nodes: each node comes back once its note-on is sent.
    for (int i = 0; i < 3 * capacity; ++i)
    {
        ASSERT_TRUE(s.AddNote(0, 0, i % 128, 100, 0)) << i;
        out.Clear();
        s.Render(1, out);
    }
    EXPECT_EQ(s.LiveNotes(), 0);
    for (int n = 0; n < 128; ++n)
        EXPECT_EQ(s.SoundingChannels(n), 1u);
    out.Clear();
    s.AllNotesOff(out);
    EXPECT_EQ(out.Size(), 128);
}

TEST(NoteStream, ReserveGrowsWhileNotesArePending)
{
    NoteStream s;
    s.AddNote(3, 0, 60, 100, 10);
    s.Reserve(s.NoteCapacity() + 10);
    EXPECT_EQ(s.EventCapacity(), 2 * s.NoteCapacity());
    EXPECT_EQ(RenderBlocks(s, 64, 64), (std::vector<StreamEvent>{On(3, 60, 100), Off(13, 60)}));
}

TEST(NoteStream, AgreesWithThePlainRulesUnderRandomUse)
{
    // Few keys on three channels, so that notes overlap and cut each other; times in and out
    // of order, around the block's ends; lengths from none to the longest; jumps, stops and
    // floods beyond the reserve.
    std::mt19937 random(20240611u);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(random); };
    NoteStream s;
    ModelStream model(s.NoteCapacity(), s.EventCapacity());
    MidiOutList out;
    out.Reserve(s.MaxMessages());
    for (int round = 0; round < 10000; ++round)
    {
        SCOPED_TRACE(round);
        const int block = pick(0, 3) == 0 ? pick(0, 3) : pick(16, 300);
        const int notes = round % 997 == 500 ? 1500 : pick(0, 6);
        for (int i = 0; i < notes; ++i)
        {
            const int length =
                std::array{0, 1, 2, pick(3, 700), pick(0, 5000), INT_MAX}[pick(0, 5)];
            const int time = pick(0, 5) == 0 ? pick(-3, block + 3) : pick(0, block);
            const int note = pick(0, 50) == 0 ? std::array{-1, 128}[pick(0, 1)] : pick(60, 64);
            const int channel = pick(0, 80) == 0 ? 16 : pick(0, 2);
            const int velocity = pick(1, 127);
            ASSERT_EQ(s.AddNote(time, channel, note, velocity, length),
                      model.AddNote(time, channel, note, velocity, length));
        }
        out.Clear();
        if (pick(0, 150) == 0)
        {
            s.AllNotesOff(out);
            ASSERT_EQ(Messages(out), model.AllNotesOff());
        }
        else
        {
            if (pick(0, 40) == 0)
            {
                s.DropUnsentNotes();
                model.DropUnsentNotes();
            }
            s.Render(block, out);
            ASSERT_EQ(Messages(out), model.Render(block));
        }
        ASSERT_EQ(s.PendingEvents(), model.Pending());
        ASSERT_EQ(s.LiveNotes(), model.Live());
        ASSERT_EQ(s.DroppedNotes(), model.Dropped());
        for (int note = 58; note < 66; ++note)
            ASSERT_EQ(s.SoundingChannels(note), model.Sounding(note)) << note;
    }
    EXPECT_GT(s.DroppedNotes(), 0); // the floods reached the reserve's end
}
